// TFormExecSQL: the window that runs one rSQL script against a database.
#include "desktop/scripts/windows/formexecsql.h"

#include "desktop/controls/trbackground.h"
#include "desktop/controls/trspeedbutton.h"
#include "desktop/errors/terrorhandler.h"
#include "desktop/errors/windows/errorhandlingapplication.h"
#include "desktop/scripts/scriptkinds.h"
#include "desktop/scripts/scripttexts.h"
#include "desktop/scripts/trconnect.h"
#include "desktop/shell/appmessage.h"
#include "desktop/shell/appsettings.h"
#include "desktop/shell/textutils.h"
#include "desktop/shell/windows/formmemo.h"
#include "desktop/shell/windows/formsupport.h"
#include "platform/codepage.h"

#include <QCloseEvent>
#include <QFileDialog>
#include <QFontDialog>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QScrollBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace vt::desktop {
namespace {

constexpr int kHelpContext = 100400;

// A sunken label that shows a value.
QLabel* valueLabel(const char* objectName) {
    auto* label = new QLabel;
    label->setObjectName(QString::fromLatin1(objectName));
    label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    label->setMinimumWidth(60);
    return label;
}

} // namespace

TFormExecSQL::TFormExecSQL(QWidget* parent) : TFormAction(parent, QStringLiteral("BBOK")) {
    setObjectName(QStringLiteral("FormExecSQL"));
    setWindowTitle(tr8(texts::kExecCaption));
    // A resizable frame, unlike the other action windows.
    setWindowFlags(windowFlags() & ~Qt::MSWindowsFixedSizeDialogHint);
    layout()->setSizeConstraint(QLayout::SetDefaultConstraint);
    setMinimumSize(393, 338);
    setSizeGripEnabled(true);

    FEIni2 = new QLineEdit;
    FEIni2->setObjectName(QStringLiteral("FEIni2"));
    FEIni2Browse = new QToolButton;
    FEIni2Browse->setText(QStringLiteral("..."));
    SBLookFile = new TrSpeedButton;
    SBLookFile->setObjectName(QStringLiteral("SBLookFile"));
    SBLookFile->setFlat(true);
    SBLookFile->setIcon(QIcon(QStringLiteral(":/vtdesk/BITMAP/RDBN_EDIT")));
    SBLookFile->setToolTip(tr8(texts::kLookFileHint));
    SBLookFile->setControlFocused(FEIni2);
    SBLookFile->setControlShortCut(QKeyCombination(Qt::Key_F4));
    auto* fileLabel = new QLabel(tr8(texts::kScriptFileLabel));
    fileLabel->setBuddy(FEIni2);
    auto* fileRow = new QHBoxLayout;
    fileRow->addWidget(fileLabel);
    fileRow->addWidget(FEIni2, 1);
    fileRow->addWidget(FEIni2Browse);
    fileRow->addWidget(SBLookFile);

    LCode = valueLabel("LCode");
    LOldVer = valueLabel("LOldVer");
    LNewVer = valueLabel("LNewVer");
    LCount = valueLabel("LCount");
    auto* header = new QGridLayout;
    header->addWidget(new QLabel(tr8(texts::kCodeLabel)), 0, 0);
    header->addWidget(LCode, 0, 1);
    header->addWidget(new QLabel(tr8(texts::kCountLabel)), 0, 2);
    header->addWidget(LCount, 0, 3);
    header->addWidget(new QLabel(tr8(texts::kOldVersionLabel)), 1, 0);
    header->addWidget(LOldVer, 1, 1);
    header->addWidget(new QLabel(tr8(texts::kNewVersionLabel)), 1, 2);
    header->addWidget(LNewVer, 1, 3);
    header->setColumnStretch(1, 1);
    header->setColumnStretch(3, 1);

    MDiscript = new QPlainTextEdit;
    MDiscript->setObjectName(QStringLiteral("MDiscript"));
    MDiscript->setReadOnly(true);
    MDiscript->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    rSpeedButton1 = new TrSpeedButton;
    rSpeedButton1->setObjectName(QStringLiteral("rSpeedButton1"));
    rSpeedButton1->setFlat(true);
    rSpeedButton1->setText(tr8(texts::kFontButton));
    auto* commentsLabel = new QLabel(tr8(texts::kCommentsLabel));
    commentsLabel->setBuddy(MDiscript);
    auto* commentsRow = new QHBoxLayout;
    commentsRow->addWidget(commentsLabel);
    commentsRow->addStretch();
    commentsRow->addWidget(rSpeedButton1);

    GBDBParams = new QGroupBox(tr8(texts::kDatabaseGroup));
    GBDBParams->setObjectName(QStringLiteral("GBDBParams"));
    STCode = valueLabel("STCode");
    STVersion = valueLabel("STVersion");
    LRest = valueLabel("LRest");
    LFirstCommand = new QLabel;
    LFirstCommand->setObjectName(QStringLiteral("LFirstCommand"));
    LFirstCommand->setTextFormat(Qt::PlainText);
    LFirstCommand->setMinimumWidth(1);
    ProgressBar = new QProgressBar;
    ProgressBar->setObjectName(QStringLiteral("ProgressBar"));
    ProgressBar->setValue(0);
    auto* progress = new QGridLayout(GBDBParams);
    progress->addWidget(new QLabel(tr8(texts::kDbCodeLabel)), 0, 0);
    progress->addWidget(STCode, 0, 1);
    progress->addWidget(new QLabel(tr8(texts::kDbVersionLabel)), 0, 2);
    progress->addWidget(STVersion, 0, 3);
    progress->addWidget(new QLabel(tr8(texts::kCommandLabel)), 1, 0);
    progress->addWidget(LRest, 1, 1);
    progress->addWidget(LFirstCommand, 1, 2, 1, 2);
    progress->addWidget(ProgressBar, 2, 0, 1, 4);
    progress->setColumnStretch(1, 1);
    progress->setColumnStretch(3, 2);

    auto* fields = new QVBoxLayout(GroupBox1);
    fields->addLayout(fileRow);
    fields->addLayout(header);
    fields->addLayout(commentsRow);
    fields->addWidget(MDiscript, 1);
    fields->addWidget(GBDBParams);

    rConnect = new TrConnect(this);
    rConnect->setObjectName(QStringLiteral("rConnect"));
    rConnect->setPasswordRequired(false);
    TrConnectCaptions captions;
    captions.Resource = tr8(texts::kLoginDatabase);
    rConnect->setCaptions(captions);
    rConnect->OnConnect = [this](TrCustomConnect&) { rConnectConnect(); };
    rBackground = new TrBackground(this);

    disconnect(BitBtn2, nullptr, this, nullptr);
    connect(BitBtn1, &QAbstractButton::clicked, this, [this] {
        try {
            BBOKClick();
        } catch (const std::exception& e) {
            reportException(e);
        }
    });
    connect(BitBtn2, &QAbstractButton::clicked, this, &TFormExecSQL::BBCancelClick);
    connect(FEIni2, &QLineEdit::textChanged, this, &TFormExecSQL::FEIni2Change);
    connect(FEIni2Browse, &QToolButton::clicked, this, &TFormExecSQL::browseScript);
    connect(SBLookFile, &QAbstractButton::clicked, this, &TFormExecSQL::SBLookFileClick);
    connect(rSpeedButton1, &QAbstractButton::clicked, this, &TFormExecSQL::rSpeedButton1Click);
    installFormHelp(this, kHelpContext, BitBtn3);
    FormCreate();
    resize(520, 430);
}

TFormExecSQL::~TFormExecSQL() = default;

void TFormExecSQL::FormCreate() {
    rBackground->setRegKey(RegRoot() + AppSubKey() + QStringLiteral("\\Background"));
    rConnect->setRegKey(RegRoot() + AppSubKey());
    ScriptKinds kinds(SqlToolsIni());
    if (const std::optional<std::string> kind = kinds.defaultKindName())
        m_startFolder = QString::fromStdString(platform::ansiToUtf8(kinds.load(*kind).defaultPath));
    BitBtn1->setEnabled(false);
    SBLookFile->setEnabled(false);
}

void TFormExecSQL::showHeader() {
    ScriptHeader header;
    try {
        header = ScriptHeader::read(FEIni2->text());
    } catch (const std::exception&) {
        // A name being typed may stand for a folder or an unreadable file for a moment; the
        // header stays empty and Execute reports the file's problem.
    }
    LCode->setText(header.code);
    LNewVer->setText(header.newVersion);
    LOldVer->setText(header.oldVersion);
    LCount->setText(header.commands);
    MDiscript->setPlainText(header.comments.join(QLatin1Char('\n')));
    MDiscript->verticalScrollBar()->setValue(0);
}

void TFormExecSQL::FEIni2Change() {
    m_run.setScriptCompleted(false);
    const bool named = IsNotBlank(FEIni2->text());
    BitBtn1->setEnabled(named && !m_running);
    SBLookFile->setEnabled(named);
    showHeader();
}

void TFormExecSQL::browseScript() {
    const QString start = FEIni2->text().isEmpty() ? m_startFolder : FEIni2->text();
    const QString path = QFileDialog::getOpenFileName(this, tr8(texts::kChooseScript), start,
                                                      qtFileFilter(tr8(texts::kScriptFilter)));
    if (!path.isEmpty())
        FEIni2->setText(path);
}

void TFormExecSQL::BBOKClick() {
    showHeader();
    const QString file = FEIni2->text();
    BitBtn1->setEnabled(false);
    m_running = true;
    struct Guard {
        TFormExecSQL& form;
        ~Guard() {
            form.m_running = false;
            form.BitBtn1->setEnabled(IsNotBlank(form.FEIni2->text()));
        }
    } guard{*this};
    m_thread.run([this, file] { m_run.run(file); });
}

void TFormExecSQL::rConnectConnect() {
    const LoginValues values{rConnect->Resource(), rConnect->User(), rConnect->Password()};
    m_thread.run([this, values] { m_run.rConnectConnect(values); });
}

void TFormExecSQL::BBCancelClick() {
    if (!m_running) {
        close();
        return;
    }
    if (ShowAppMessage(tr8(texts::kAbortQuestion), mb::kYesNo | mb::kIconQuestion) == mb::idYes)
        m_run.requestAbort();
}

void TFormExecSQL::closeEvent(QCloseEvent* event) {
    if (m_running) {
        event->ignore();
        return;
    }
    TFormAction::closeEvent(event);
}

void TFormExecSQL::reject() {
    if (m_running)
        BBCancelClick();
    else
        close();
}

void TFormExecSQL::SBLookFileClick() {
    const QString shown = ViewScriptFile(FEIni2->text(), m_run.currentCommand(), true, this);
    if (shown != FEIni2->text())
        FEIni2->setText(shown);
}

void TFormExecSQL::rSpeedButton1Click() {
    bool ok = false;
    const QFont font = QFontDialog::getFont(&ok, MDiscript->font(), this);
    if (ok)
        MDiscript->setFont(font);
}

int TFormExecSQL::message(const QString& text, unsigned flags) {
    int answer = 0;
    m_thread.onWindowThread([&] { answer = ShowAppMessage(text, flags); });
    return answer;
}

void TFormExecSQL::setResources(const QStringList& aliases) {
    m_thread.post([this, aliases] { rConnect->setResources(aliases); });
}

bool TFormExecSQL::loginDialog(const QString& scriptUser) {
    bool connected = false;
    m_thread.onWindowThread([&] {
        rConnect->setUser(scriptUser);
        rConnect->setPassword(QString());
        connected = rConnect->Execute();
    });
    return connected;
}

LoginValues TFormExecSQL::login() {
    LoginValues values;
    m_thread.onWindowThread([&] {
        values = {rConnect->Resource(), rConnect->User(), rConnect->Password()};
    });
    return values;
}

void TFormExecSQL::setErrorUserName(const QString& user) {
    m_thread.post([user] {
        if (TErrorHandler* handler = ErrorHandlingApplication::errorHandler())
            handler->setUserName(user);
    });
}

void TFormExecSQL::runStarted(const QString& alias) {
    m_thread.post([this, alias] { GBDBParams->setTitle(tr8(texts::kDatabaseCaption).arg(alias)); });
}

void TFormExecSQL::showDatabase(const QString& code, const QString& version) {
    m_thread.post([this, code, version] {
        STCode->setText(code);
        STVersion->setText(version);
    });
}

void TFormExecSQL::showVersion(const QString& version) {
    m_thread.post([this, version] { STVersion->setText(version); });
}

void TFormExecSQL::setProgress(int maximum, int position) {
    m_thread.post([this, maximum, position] {
        ProgressBar->setRange(0, maximum);
        ProgressBar->setValue(position);
    });
}

void TFormExecSQL::commandStarting(int n, const QString& firstLine) {
    m_thread.post([this, n, firstLine] {
        LRest->setText(QString::number(n));
        LFirstCommand->setText(firstLine);
    });
}

void TFormExecSQL::commandEnded() {
    m_thread.post([this] { ProgressBar->setValue(ProgressBar->value() + 1); });
}

void TFormExecSQL::runCompleted(const QString& newVersion) {
    m_thread.post([this, newVersion] {
        ProgressBar->setValue(ProgressBar->minimum());
        LFirstCommand->clear();
        LRest->clear();
        if (!newVersion.isEmpty())
            STVersion->setText(newVersion);
    });
}

} // namespace vt::desktop
