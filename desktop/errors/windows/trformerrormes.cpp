// TrFormErrorMes: the error dialog. A title line, the message in a sunken box and a details pane
// that the user opens and closes; compact while the pane is closed.
#include "desktop/errors/windows/trformerrormes.h"

#include "desktop/controls/trlabel.h"
#include "desktop/errors/errortexts.h"
#include "desktop/errors/terrorhandler.h"
#include "desktop/shell/appmessage.h"
#include "desktop/shell/textutils.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QStyle>

namespace vt::desktop {
namespace {

// The layout is drawn for a font 13 pixels high; larger fonts scale it.
constexpr int kDesignLineHeight = 13;
constexpr int kClientWidth = 368;
constexpr int kClientHeight = 239;

QString tr8(const char* text) {
    return QString::fromUtf8(text);
}

QPixmap styleIcon(TErrorHandler& handler, int size) {
    QStyle::StandardPixmap icon = QStyle::SP_MessageBoxCritical;
    switch (handler.Style()) {
    case ehCustom:
        return handler.Picture().isNull() ? QPixmap() : QPixmap::fromImage(handler.Picture());
    case ehInformation:
        icon = QStyle::SP_MessageBoxInformation;
        break;
    case ehWarning:
        icon = QStyle::SP_MessageBoxWarning;
        break;
    case ehQuestion:
        icon = QStyle::SP_MessageBoxQuestion;
        break;
    case ehError:
        break;
    }
    return QApplication::style()->standardIcon(icon).pixmap(size, size);
}

void setHelpContext(QWidget* control, int context) {
    control->setProperty("helpContext", context);
}

} // namespace

TrFormErrorMes::TrFormErrorMes(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowStaysOnTopHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                          Qt::WindowContextHelpButtonHint) {
    setObjectName(QStringLiteral("FormErrorMes"));
    setProperty("helpFile", QStringLiteral("VTCOMP.HLP"));
    setHelpContext(this, 10300);
    m_scale = std::max(1.0, double(fontMetrics().height()) / kDesignLineHeight);

    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setGeometry(scaled(8, 26, 64, 64));
    Image1->setAlignment(Qt::AlignCenter);

    LError = new QLabel(this);
    LError->setObjectName(QStringLiteral("LError"));
    LError->setGeometry(scaled(76, 4, 288, 16));
    QFont bold = LError->font();
    bold.setBold(true);
    LError->setFont(bold);

    LMessage = new TrLabel(this);
    LMessage->setObjectName(QStringLiteral("LMessage"));
    LMessage->setAutoSize(false);
    LMessage->setBevelOuter(bvLowered);
    LMessage->setText3D(false);
    LMessage->setAlignment(taCenter);
    LMessage->setLayout(tlCenter);
    LMessage->setWordWrap(true);
    LMessage->setShowAccelChar(false);
    LMessage->setGeometry(scaled(76, 20, 288, 80));
    NCopyToClipboard = new QAction(tr8(texts::kCopyToClipboard), LMessage);
    NCopyToClipboard->setObjectName(QStringLiteral("NCopyToClipboard"));
    LMessage->addAction(NCopyToClipboard);
    LMessage->setContextMenuPolicy(Qt::ActionsContextMenu);
    connect(NCopyToClipboard, &QAction::triggered, this, &TrFormErrorMes::NCopyToClipboardClick);

    // Lies under BitBtnOk: created first, so the OK button covers it.
    BBAntiDefault = new QPushButton(this);
    BBAntiDefault->setObjectName(QStringLiteral("BBAntiDefault"));
    BBAntiDefault->setGeometry(scaled(200, 109, 53, 21));
    BBAntiDefault->setFocusPolicy(Qt::ClickFocus);

    BitBtnOk = new QPushButton(tr8(texts::kOkCaption), this);
    BitBtnOk->setObjectName(QStringLiteral("BitBtnOk"));
    BitBtnOk->setGeometry(scaled(178, 108, 90, 25));
    setHelpContext(BitBtnOk, 10301);
    connect(BitBtnOk, &QPushButton::clicked, this, &QDialog::accept);

    BitBtnAll = new QPushButton(tr8(texts::kMoreDetails), this);
    BitBtnAll->setObjectName(QStringLiteral("BitBtnAll"));
    BitBtnAll->setGeometry(scaled(274, 108, 90, 25));
    setHelpContext(BitBtnAll, 10302);
    connect(BitBtnAll, &QPushButton::clicked, this, &TrFormErrorMes::BitBtnAllClick);

    ExtButton = new QPushButton(this);
    ExtButton->setObjectName(QStringLiteral("ExtButton"));
    ExtButton->setGeometry(scaled(82, 108, 90, 25));
    ExtButton->hide();

    MError = new QPlainTextEdit(this);
    MError->setObjectName(QStringLiteral("MError"));
    MError->setGeometry(scaled(4, 138, 360, 97));
    MError->setReadOnly(true);
    MError->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    MError->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    setHelpContext(MError, 10304);
    MError->hide();

    const QRect client = scaled(0, 0, kClientWidth, kClientHeight);
    setFixedSize(client.size());
    m_fullHeight = client.height();
}

QRect TrFormErrorMes::scaled(int left, int top, int width, int height) const {
    auto s = [this](int v) { return int(v * m_scale + 0.5); };
    return QRect(s(left), s(top), s(width), s(height));
}

void TrFormErrorMes::setup(TErrorHandler& handler) {
    Image1->setPixmap(styleIcon(handler, Image1->width()));
    setWindowTitle(handler.Caption().isEmpty() ? QGuiApplication::applicationDisplayName()
                                               : handler.Caption());
    m_cancel = handler.Cancel();
    m_default = handler.Default();
    BitBtnOk->setAutoDefault(m_default);
    BitBtnOk->setDefault(m_default);
    if (!m_default) {
        BBAntiDefault->setAutoDefault(true);
        BBAntiDefault->setFocus();
    } else {
        BBAntiDefault->setAutoDefault(false);
        BitBtnOk->setFocus();
    }
    LError->setText(handler.TitleMessage());
    LMessage->setCaption(handler.Message());
    MError->setPlainText(handler.Description().join(QLatin1Char('\n')));
    ExtButton->setText(handler.ExtBtnCaption());
    ExtButton->disconnect(this);
    if (handler.OnExtButtonClick()) {
        connect(ExtButton, &QPushButton::clicked, this, [&handler] {
            if (handler.OnExtButtonClick())
                handler.OnExtButtonClick()(handler);
        });
    }
    ExtButton->setVisible(handler.extButtonVisible());
}

void TrFormErrorMes::Execute(TErrorHandler& handler) {
    QApplication::beep();
    auto* dialog = new TrFormErrorMes;
    dialog->setup(handler);
    ShowModalAndFree(dialog);
}

void TrFormErrorMes::shrink() {
    setFixedHeight(MError->y());
}

void TrFormErrorMes::showEvent(QShowEvent* event) {
    BitBtnAll->setEnabled(IsNotBlank(MError->toPlainText()));
    if (MError->isHidden())
        shrink();
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    QDialog::showEvent(event);
}

void TrFormErrorMes::BitBtnAllClick() {
    const bool open = MError->isHidden();
    MError->setVisible(open);
    if (open) {
        setFixedHeight(m_fullHeight);
        BitBtnAll->setText(tr8(texts::kLessDetails));
        setHelpContext(BitBtnAll, 10303);
    } else {
        shrink();
        BitBtnAll->setText(tr8(texts::kMoreDetails));
        setHelpContext(BitBtnAll, 10302);
    }
}

void TrFormErrorMes::NCopyToClipboardClick() {
    QGuiApplication::clipboard()->setText(LMessage->Caption());
}

void TrFormErrorMes::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier && !m_cancel) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

} // namespace vt::desktop
