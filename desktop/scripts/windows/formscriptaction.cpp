// TFormScriptAction: what the two conversion windows share on top of the action-window base.
#include "desktop/scripts/windows/formscriptaction.h"

#include "desktop/controls/trbackground.h"
#include "desktop/controls/trspeedbutton.h"
#include "desktop/scripts/fieldtext.h"
#include "desktop/scripts/scripttexts.h"
#include "desktop/scripts/windows/trfileedit.h"
#include "desktop/shell/appsettings.h"
#include "desktop/shell/windows/formmemo.h"
#include "desktop/shell/windows/formsupport.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLayout>
#include <QProgressBar>

namespace vt::desktop {
namespace {

// How often the window looks at a running conversion.
constexpr int kPollMilliseconds = 40;

} // namespace

TFormScriptAction::TFormScriptAction(QWidget* parent, int helpContext)
    : TFormAction(parent, {}, helpContext) {
    // Unlike the base, a resizable frame: the fields grow with the window.
    setWindowFlags(windowFlags() & ~Qt::MSWindowsFixedSizeDialogHint);
    layout()->setSizeConstraint(QLayout::SetDefaultConstraint);
    setSizeGripEnabled(true);

    CBScript = new QComboBox;
    CBScript->setObjectName(QStringLiteral("CBScript"));
    SBEdit = f4Button("SBEdit", CBScript);
    SBEdit->setEnabled(false);
    PBConvert = new QProgressBar;
    PBConvert->setObjectName(QStringLiteral("PBConvert"));
    PBConvert->setTextVisible(false);
    PBConvert->setMaximumHeight(12);
    PBConvert->setRange(0, 1);
    PBConvert->setValue(0);
    rBackground = new TrBackground(this);
    rBackground->setObjectName(QStringLiteral("rBackground"));
    rBackground->setAutoSave(true);
    rBackground->setRegKey(RegRoot() + AppSubKey() + QStringLiteral("\\Background"));

    m_viewer = [this](const QString& fileName, int commandNumber, bool isRsql) {
        return ViewScriptFile(fileName, commandNumber, isRsql, this);
    };
    m_editRunner = [this](const QString& name) { return runKindEditor(this, name); };
    m_poll.setInterval(kPollMilliseconds);
    connect(&m_poll, &QTimer::timeout, this, &TFormScriptAction::poll);
    connect(CBScript, &QComboBox::currentIndexChanged, this, [this] { CBScriptChange(); });
    connect(SBEdit, &QToolButton::clicked, this, [this] { SBEditClick(); });
}

TFormScriptAction::~TFormScriptAction() = default;

TrSpeedButton* TFormScriptAction::f4Button(const char* name, QWidget* control) {
    auto* button = new TrSpeedButton;
    button->setObjectName(QString::fromLatin1(name));
    button->setGlyphResource(QStringLiteral("RDBN_EDIT"));
    button->setToolTip(tr8(texts::kLookFileHint));
    button->setControlFocused(control);
    button->setControlShortCut(QKeyCombination(Qt::Key_F4));
    return button;
}

TrFileEdit* TFormScriptAction::fileBox(const char* name, bool forSaving, const char* filter,
                                       const char* ext) {
    auto* box = new TrFileEdit(forSaving ? TrFileEdit::Mode::Save : TrFileEdit::Mode::Open);
    box->setObjectName(QString::fromLatin1(name));
    box->setFilter(tr8(filter));
    box->setDefaultExt(QString::fromLatin1(ext));
    return box;
}

QLabel* TFormScriptAction::addLabel(QGridLayout* grid, const char* caption, QWidget* buddy, int row,
                                    int column) {
    auto* label = new QLabel(tr8(caption));
    label->setBuddy(buddy);
    grid->addWidget(label, row, column);
    return label;
}

void TFormScriptAction::orderFields(const QList<QWidget*>& fields) {
    QWidget* previous = nullptr;
    for (QWidget* next : fields + QList<QWidget*>{BitBtn1, BitBtn2, BitBtn3}) {
        if (previous)
            setTabOrder(previous, next);
        previous = next;
    }
    fields.constFirst()->setFocus();
}

void TFormScriptAction::fillKinds() {
    const ScriptKinds kinds(SqlToolsIni());
    const QSignalBlocker quiet(CBScript);
    for (const std::string& name : kinds.names())
        CBScript->addItem(fromAnsiText(name));
    CBScript->setCurrentIndex(-1);
    if (const std::optional<std::string> name = kinds.defaultKindName())
        CBScript->setCurrentIndex(CBScript->findText(fromAnsiText(*name), Qt::MatchFixedString));
    CBScriptChange();
}

void TFormScriptAction::CBScriptChange() {
    m_kind.reset();
    if (CBScript->currentIndex() >= 0)
        m_kind = ScriptKinds(SqlToolsIni()).find(toAnsiText(CBScript->currentText()));
    SBEdit->setEnabled(CBScript->currentIndex() >= 0);
    if (m_kind)
        useKind(*m_kind);
    updateExecute();
}

void TFormScriptAction::SBEditClick() {
    if (CBScript->currentIndex() < 0)
        return;
    SqlToolsIni().flush();
    m_editRunner(CBScript->currentText());
}

void TFormScriptAction::runConversion(ConversionJob::Work work,
                                      std::function<void(std::size_t)> finish) {
    m_finish = std::move(finish);
    m_job.start(std::move(work));
    GroupBox1->setEnabled(false);
    updateExecute();
    m_poll.start();
}

void TFormScriptAction::poll() {
    const std::pair<int, int> bar = m_job.progress().barValues();
    PBConvert->setRange(0, std::max(bar.second, 1));
    PBConvert->setValue(bar.first);
    if (!m_job.done())
        return;
    m_poll.stop();
    PBConvert->setValue(0);
    std::size_t result = 0;
    bool cancelled = false;
    std::exception_ptr error;
    try {
        result = m_job.take();
    } catch (const ConversionCancelled&) {
        cancelled = true;
    } catch (...) {
        error = std::current_exception();
    }
    // The window is usable again whatever the outcome.
    GroupBox1->setEnabled(true);
    updateExecute();
    if (error)
        std::rethrow_exception(error);
    if (!cancelled)
        m_finish(result);
}

void TFormScriptAction::closeEvent(QCloseEvent* event) {
    if (m_job.busy()) {
        m_poll.stop();
        m_job.cancel();
        // The work stops at its next step: its output file is then either complete or as it was.
        try {
            m_job.take();
        } catch (...) {
        }
        PBConvert->setValue(0);
        GroupBox1->setEnabled(true);
        updateExecute();
    }
    TFormAction::closeEvent(event);
}

} // namespace vt::desktop
