// TFormBatch: the data transfer window's controls and their wiring.
#include "desktop/scripts/windows/formbatch.h"

#include "dbengine/data/session.h"
#include "desktop/controls/trbackground.h"
#include "desktop/errors/errortexts.h"
#include "desktop/errors/windows/errorhandlingapplication.h"
#include "desktop/scripts/scripttexts.h"
#include "desktop/scripts/trdbconnect.h"
#include "desktop/shell/appmessage.h"
#include "desktop/shell/appsettings.h"
#include "desktop/shell/help.h"
#include "desktop/shell/windows/formsupport.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace vt::desktop {
namespace {

QString text(std::string_view t) {
    return QString::fromUtf8(t.data(), static_cast<qsizetype>(t.size()));
}

template <class W> W* named(W* widget, const char* name, int helpContext = 0) {
    widget->setObjectName(QString::fromLatin1(name));
    if (helpContext)
        widget->setProperty(kHelpContextProperty, helpContext);
    return widget;
}

QLabel* labelFor(std::string_view caption, QWidget* buddy) {
    auto* label = new QLabel(text(caption));
    label->setBuddy(buddy);
    return label;
}

} // namespace

TFormBatch::TFormBatch(QWidget* parent, dbengine::Session* session)
    : TFormAction(parent, {}, helpctx::kBatch),
      m_transfer(session ? *session : dbengine::Session::defaultSession()) {
    setObjectName(QStringLiteral("FormBatch"));
    setWindowTitle(text(texts::kBatchCaption));

    // Source: alias, then a table or a query.
    GroupBoxSource = named(new QGroupBox(text(texts::kBatchSource)), "GroupBoxSource");
    ComboBox1 = named(new QComboBox, "ComboBox1", helpctx::kBatchSourceAlias);
    PageControl1 = named(new QTabWidget, "PageControl1");
    TabTable = named(new QWidget, "TabTable");
    TabQuery = named(new QWidget, "TabQuery");
    ComboBox3 = named(new QComboBox, "ComboBox3", helpctx::kBatchSourceTable);
    Memo1 = named(new QPlainTextEdit, "Memo1", helpctx::kBatchQuery);
    Memo1->setLineWrapMode(QPlainTextEdit::NoWrap);
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    auto* tableLayout = new QVBoxLayout(TabTable);
    tableLayout->addWidget(ComboBox3);
    tableLayout->addStretch();
    auto* queryLayout = new QVBoxLayout(TabQuery);
    queryLayout->setContentsMargins(2, 2, 2, 2);
    queryLayout->addWidget(Memo1);
    PageControl1->addTab(TabTable, text(texts::kBatchTabTable));
    PageControl1->addTab(TabQuery, text(texts::kBatchTabQuery));
    PageControl1->setFixedHeight(130); // room for a query of a few lines
    auto* sourceLayout = new QGridLayout(GroupBoxSource);
    sourceLayout->addWidget(labelFor(texts::kBatchSourceAlias, ComboBox1), 0, 0);
    sourceLayout->addWidget(ComboBox1, 0, 1);
    sourceLayout->addWidget(PageControl1, 1, 0, 1, 2);
    sourceLayout->setColumnStretch(1, 1);

    // Destination: alias, table, operation.
    GroupBoxDestination =
        named(new QGroupBox(text(texts::kBatchDestination)), "GroupBoxDestination");
    ComboBox2 = named(new QComboBox, "ComboBox2", helpctx::kBatchDestinationAlias);
    ComboBox4 = named(new QComboBox, "ComboBox4", helpctx::kBatchDestinationTable);
    ComboBox4->setEditable(true);
    ComboBox4->setInsertPolicy(QComboBox::NoInsert);
    ComboBox5 = named(new QComboBox, "ComboBox5", helpctx::kBatchOperation);
    ComboBox5->addItems(BatchTransfer::operationNames());
    auto* destinationLayout = new QGridLayout(GroupBoxDestination);
    destinationLayout->addWidget(labelFor(texts::kBatchDestinationAlias, ComboBox2), 0, 0);
    destinationLayout->addWidget(ComboBox2, 0, 1);
    destinationLayout->addWidget(labelFor(texts::kBatchTable, ComboBox4), 1, 0);
    destinationLayout->addWidget(ComboBox4, 1, 1);
    destinationLayout->addWidget(labelFor(texts::kBatchOperation, ComboBox5), 2, 0);
    destinationLayout->addWidget(ComboBox5, 2, 1);
    destinationLayout->setColumnStretch(1, 1);
    destinationLayout->setRowStretch(3, 1);

    // Columns: the mapping and its two buttons.
    GroupBoxColumns = named(new QGroupBox(text(texts::kBatchColumns)), "GroupBoxColumns");
    Memo2 = named(new QPlainTextEdit, "Memo2", helpctx::kBatchColumns);
    Button2 = named(new QPushButton(text(texts::kBatchFill)), "Button2", helpctx::kBatchFill);
    Button1 = named(new QPushButton(text(texts::kBatchClear)), "Button1", helpctx::kBatchClear);
    auto* columnButtons = new QVBoxLayout;
    columnButtons->addWidget(Button2);
    columnButtons->addWidget(Button1);
    columnButtons->addStretch();
    auto* columnsLayout = new QHBoxLayout(GroupBoxColumns);
    columnsLayout->addWidget(Memo2, 1);
    columnsLayout->addLayout(columnButtons);

    ProgressBar1 = named(new QProgressBar, "ProgressBar1");
    ProgressBar1->setTextVisible(false);
    LabelProgress = named(new QLabel, "LabelProgress");

    auto* top = new QHBoxLayout;
    top->addWidget(GroupBoxSource, 1);
    top->addWidget(GroupBoxDestination, 1);
    auto* progress = new QHBoxLayout;
    progress->addWidget(ProgressBar1, 1);
    progress->addWidget(LabelProgress, 1);
    auto* layout = new QVBoxLayout(GroupBox1);
    layout->addLayout(top);
    layout->addWidget(GroupBoxColumns, 1);
    layout->addLayout(progress);
    GroupBox1->setMinimumSize(640, 400);
    BitBtn1->setProperty(kHelpContextProperty, helpctx::kBatchExecute);

    rDBConnect1 = new TrDBConnect(this);
    rDBConnect1->setObjectName(QStringLiteral("rDBConnect1"));
    rBackground1 = new TrBackground(this);
    rBackground1->setAutoSave(true);
    rBackground1->setRegKey(RegRoot() + AppSubKey() + QStringLiteral("\\Background"));

    // FormCreate: both alias lists, nothing chosen, the first operation.
    const QStringList aliases = m_transfer.aliasNames();
    ComboBox1->addItems(aliases);
    ComboBox2->addItems(aliases);
    ComboBox1->setCurrentIndex(-1);
    ComboBox2->setCurrentIndex(-1);
    ComboBox5->setCurrentIndex(0);
    updateButtons();

    connect(ComboBox1, &QComboBox::activated, this, &TFormBatch::ComboBox1Click);
    connect(ComboBox2, &QComboBox::activated, this, &TFormBatch::ComboBox2Click);
    connect(ComboBox3, &QComboBox::currentTextChanged, this, &TFormBatch::ComboBox3Change);
    connect(PageControl1, &QTabWidget::currentChanged, this, &TFormBatch::PageControl1Change);
    connect(Button1, &QPushButton::clicked, this, &TFormBatch::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &TFormBatch::Button2Click);
    connect(BitBtn1, &QPushButton::clicked, this, &TFormBatch::BitBtn1Click);
    connect(&m_transfer, &BatchTransfer::progress, this, &TFormBatch::moveProgress);
    connect(&m_transfer, &BatchTransfer::finished, this, &TFormBatch::moveFinished);
}

TFormBatch::~TFormBatch() = default;

void TFormBatch::login(BatchTransfer::Side side, QComboBox* aliasBox) {
    const bool source = side == BatchTransfer::Side::Source;
    QComboBox* tables = source ? ComboBox3 : ComboBox4;
    // However the login ends, the boxes show the connection that is open.
    auto showState = [&] {
        const QString alias = m_transfer.connectedAlias(side);
        aliasBox->setCurrentIndex(alias.isEmpty() ? -1 : aliasBox->findText(alias));
        if (alias.isEmpty())
            tables->clear();
        if (source)
            m_transfer.sourceLoginEnded();
        updateButtons();
    };
    try {
        rDBConnect1->setDatabase(&m_transfer.database(side));
        rDBConnect1->setAlias(aliasBox->currentText());
        if (rDBConnect1->Execute()) {
            // The source shows its first table; the destination the source table's namesake.
            const QString sourceTable = ComboBox3->currentText();
            const QStringList names = m_transfer.tableNames(side);
            tables->clear();
            tables->addItems(names);
            tables->setCurrentIndex(source ? (names.isEmpty() ? -1 : 0)
                                           : BatchTransfer::indexOfName(names, sourceTable));
        }
    } catch (...) {
        showState();
        throw;
    }
    showState();
}

void TFormBatch::ComboBox1Click() {
    login(BatchTransfer::Side::Source, ComboBox1);
}

void TFormBatch::ComboBox2Click() {
    login(BatchTransfer::Side::Destination, ComboBox2);
}

void TFormBatch::ComboBox3Change() {
    QStringList destinationTables;
    for (int i = 0; i < ComboBox4->count(); ++i)
        destinationTables << ComboBox4->itemText(i);
    const int index = BatchTransfer::indexOfName(destinationTables, ComboBox3->currentText());
    if (index >= 0)
        ComboBox4->setCurrentIndex(index);
}

void TFormBatch::PageControl1Change() {
    m_transfer.setSourceIsQuery(PageControl1->currentWidget() == TabQuery);
    m_transfer.sourcePageChanged();
    updateButtons();
}

void TFormBatch::Button1Click() {
    Memo2->clear();
}

void TFormBatch::Button2Click() {
    passChoices();
    Memo2->setPlainText(m_transfer.proposeMapping().join(QLatin1Char('\n')));
}

void TFormBatch::BitBtn1Click() {
    passChoices();
    const QStringList mappings = Memo2->toPlainText().split(QLatin1Char('\n'));
    if (!m_transfer.start(ComboBox5->currentIndex(), mappings))
        return;
    ProgressBar1->setRange(0, 0);
    ProgressBar1->setValue(0);
    LabelProgress->clear();
    GroupBoxSource->setEnabled(false);
    GroupBoxDestination->setEnabled(false);
    Memo2->setReadOnly(true);
    updateButtons();
}

void TFormBatch::BitBtn2Click() {
    if (m_transfer.running()) {
        m_transfer.cancel();
        return;
    }
    m_transfer.closeDatabases();
    QDialog::reject();
}

void TFormBatch::reject() {
    BitBtn2Click();
}

void TFormBatch::passChoices() {
    m_transfer.setSourceIsQuery(PageControl1->currentWidget() == TabQuery);
    m_transfer.setSourceTable(ComboBox3->currentText());
    m_transfer.setQueryText(Memo1->toPlainText());
    m_transfer.setDestinationTable(ComboBox4->currentText().trimmed());
}

void TFormBatch::updateButtons() {
    BitBtn1->setEnabled(m_transfer.executeEnabled());
    Button2->setEnabled(m_transfer.fillEnabled());
    Button1->setEnabled(m_transfer.clearEnabled());
}

void TFormBatch::moveProgress(qint64 done, qint64 total) {
    if (total >= 0) {
        // The bar counts in thousands so that any row count fits its integer range.
        const auto scale = [](qint64 rows) { return static_cast<int>(rows / 1000); };
        ProgressBar1->setRange(0, std::max(1, scale(total)));
        ProgressBar1->setValue(scale(done));
        LabelProgress->setText(
            text(texts::kBatchProgress).arg(QLocale().toString(done), QLocale().toString(total)));
    } else {
        LabelProgress->setText(text(texts::kBatchProgressOpen).arg(QLocale().toString(done)));
    }
}

void TFormBatch::moveFinished(const BatchTransferOutcome& outcome) {
    GroupBoxSource->setEnabled(true);
    GroupBoxDestination->setEnabled(true);
    Memo2->setReadOnly(false);
    ProgressBar1->setRange(0, 1);
    ProgressBar1->setValue(outcome.kind == BatchTransferOutcome::Kind::Done ? 1 : 0);
    updateButtons();
    switch (outcome.kind) {
    case BatchTransferOutcome::Kind::Done:
        ShowAppMessage(text(texts::kOperationDone), mb::kOk);
        break;
    case BatchTransferOutcome::Kind::Cancelled:
        LabelProgress->clear();
        ShowAppMessage(text(texts::kBatchCancelled), mb::kOk | mb::kIconInformation);
        break;
    case BatchTransferOutcome::Kind::Failed:
        LabelProgress->clear();
        try {
            std::rethrow_exception(outcome.error);
        } catch (const std::exception& e) {
            reportException(e);
        } catch (...) {
            reportException(vt::Exception(texts::kUnknownException));
        }
        break;
    }
}

} // namespace vt::desktop
