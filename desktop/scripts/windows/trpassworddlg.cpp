// TrPasswordDlg: the login dialog of the login components.
#include "desktop/scripts/windows/trpassworddlg.h"

#include "desktop/controls/trbitbtn.h"
#include "desktop/controls/trspeedbutton.h"
#include "desktop/errors/windows/errorhandlingapplication.h"
#include "desktop/scripts/scripttexts.h"
#include "desktop/scripts/trcustomconnect.h"
#include "desktop/shell/windows/formsupport.h"
#include "desktop/shell/windows/windowtexts.h"
#include "platform/paths.h"

#include <QApplication>
#include <QComboBox>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMovie>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

namespace vt::desktop {
namespace {

TrPasswordDlg::ModalRunner& runnerSlot() {
    static TrPasswordDlg::ModalRunner runner;
    return runner;
}

// The picture "CONNECT": a database drum with a plug, drawn for this program.
QPixmap connectPicture() {
    QPixmap picture(32, 32);
    picture.fill(Qt::transparent);
    QPainter p(&picture);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(40, 70, 120), 1.2));
    p.setBrush(QColor(110, 160, 220));
    p.drawRect(QRectF(3, 7, 16, 18));
    p.drawEllipse(QRectF(3, 3, 16, 8));
    p.drawEllipse(QRectF(3, 21, 16, 8));
    p.setBrush(QColor(150, 195, 240));
    p.drawEllipse(QRectF(3, 3, 16, 8));
    p.setPen(QPen(QColor(60, 60, 60), 2));
    p.drawLine(QPointF(19, 16), QPointF(24, 16));
    p.setBrush(QColor(230, 180, 40));
    p.setPen(QPen(QColor(120, 90, 10), 1));
    p.drawRoundedRect(QRectF(23, 11, 7, 10), 1.5, 1.5);
    p.drawLine(QPointF(30, 13), QPointF(31.5, 13));
    p.drawLine(QPointF(30, 19), QPointF(31.5, 19));
    return picture;
}

void setHelpContext(QWidget* control, int context) {
    control->setProperty(kHelpContextProperty, context);
}

} // namespace

TrPasswordDlg::TrPasswordDlg(TrCustomConnect& component, QWidget* parent)
    : QDialog(parent), m_connect(component) {
    setObjectName(QStringLiteral("TrPasswordDlg"));
    setWindowFlags((windowFlags() | Qt::WindowStaysOnTopHint | Qt::MSWindowsFixedSizeDialogHint) &
                   ~Qt::WindowMaximizeButtonHint);
    const TrConnectCaptions& captions = component.Captions();
    setWindowTitle(captions.Dialog);

    LabelResource = new QLabel(captions.Resource);
    CBResource = new QComboBox;
    CBResource->setObjectName(QStringLiteral("CBResource"));
    LabelResource->setBuddy(CBResource);
    Image1 = new QLabel;
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setFixedSize(32, 32);
    Image1->setPixmap(connectPicture());
    Animate1 = new QLabel;
    Animate1->setObjectName(QStringLiteral("Animate1"));
    Animate1->setFixedSize(32, 32);
    Animate1->hide();
    LabelUser = new QLabel(captions.User);
    EditUser = new QComboBox;
    EditUser->setObjectName(QStringLiteral("EditUser"));
    EditUser->setEditable(true);
    EditUser->setInsertPolicy(QComboBox::NoInsert);
    LabelUser->setBuddy(EditUser);
    rSpeedButton1 = new TrSpeedButton;
    rSpeedButton1->setObjectName(QStringLiteral("rSpeedButton1"));
    rSpeedButton1->setFlat(true);
    rSpeedButton1->setText(QStringLiteral("×"));
    rSpeedButton1->setToolTip(QString::fromUtf8(texts::kLoginForgetUser));
    rSpeedButton1->setFocusPolicy(Qt::NoFocus);
    LabelPass = new QLabel(captions.Password);
    EditPassword = new QLineEdit;
    EditPassword->setObjectName(QStringLiteral("EditPassword"));
    EditPassword->setEchoMode(QLineEdit::Password);
    LabelPass->setBuddy(EditPassword);
    OKBtn = bitBtn("OKBtn", QString::fromUtf8(texts::kOk), "BBOK");
    OKBtn->setDefault(true);
    OKBtn->setEnabled(false);
    CancelBtn = new QPushButton(QString::fromUtf8(texts::kCancel));
    CancelBtn->setObjectName(QStringLiteral("CancelBtn"));
    CancelBtn->setAutoDefault(false);
    HelpBtn = new QPushButton(QString::fromUtf8(texts::kHelp));
    HelpBtn->setObjectName(QStringLiteral("HelpBtn"));
    HelpBtn->setAutoDefault(false);

    auto* grid = new QGridLayout;
    grid->addWidget(LabelResource, 0, 0);
    grid->addWidget(CBResource, 0, 1, 1, 2);
    grid->addWidget(LabelUser, 1, 0);
    grid->addWidget(EditUser, 1, 1);
    grid->addWidget(rSpeedButton1, 1, 2);
    grid->addWidget(LabelPass, 2, 0);
    grid->addWidget(EditPassword, 2, 1, 1, 2);
    grid->setColumnStretch(1, 1);
    auto* picture = new QVBoxLayout;
    picture->addWidget(Image1);
    picture->addWidget(Animate1);
    picture->addStretch();
    auto* fields = new QHBoxLayout;
    fields->addLayout(grid, 1);
    fields->addLayout(picture);
    auto* buttons = buttonRow({OKBtn, CancelBtn, HelpBtn});
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addStretch();
    layout->addLayout(buttons);
    setFixedSize(QSize(285, 148).expandedTo(sizeHint()));

    const TrConnectHelp& help = component.Help();
    setHelpContext(CBResource, help.Resource);
    setHelpContext(EditUser, help.User);
    setHelpContext(rSpeedButton1, help.User);
    setHelpContext(EditPassword, help.Password);
    setHelpContext(OKBtn, help.OK);
    setHelpContext(CancelBtn, help.Cancel);
    installFormHelp(this, help.Dialog, HelpBtn);

    connect(CBResource, &QComboBox::currentTextChanged, this, &TrPasswordDlg::CBResourceChange);
    connect(EditUser, &QComboBox::editTextChanged, this, &TrPasswordDlg::EditUserChange);
    connect(EditPassword, &QLineEdit::textChanged, this, &TrPasswordDlg::EditPasswordChange);
    connect(rSpeedButton1, &QAbstractButton::clicked, this, &TrPasswordDlg::rSpeedButton1Click);
    connect(OKBtn, &QAbstractButton::clicked, this, &TrPasswordDlg::OKBtnClick);
    connect(CancelBtn, &QAbstractButton::clicked, this, &QDialog::reject);
    prepare();
}

TrPasswordDlg::~TrPasswordDlg() = default;

void TrPasswordDlg::prepare() {
    const QSignalBlocker resourceSignals(CBResource), userSignals(EditUser),
        passwordSignals(EditPassword);
    CBResource->setEnabled(m_connect.ResourceEnabled());
    QStringList resources = m_connect.Resources();
    resources.sort(Qt::CaseInsensitive);
    CBResource->addItems(resources);
    if (m_connect.ResourceDirectInput()) {
        CBResource->setEditable(true);
        CBResource->setInsertPolicy(QComboBox::NoInsert);
        CBResource->setEditText(m_connect.Resource());
    } else {
        CBResource->setCurrentIndex(CBResource->findText(m_connect.Resource()));
    }
    if (CBResource->currentText().isEmpty() && CBResource->count() > 0)
        CBResource->setCurrentIndex(0);
    m_connect.setResource(CBResource->currentText());

    EditUser->setEnabled(m_connect.UserEnabled());
    rSpeedButton1->setEnabled(m_connect.UserEnabled());
    EditUser->addItems(m_connect.RecentUsers());
    EditUser->setEditText(m_connect.User());
    if (m_connect.ShowLastPassword())
        EditPassword->setText(m_connect.Password());
}

bool TrPasswordDlg::Execute(TrCustomConnect& connect) {
    TrPasswordDlg dialog(connect, QApplication::activeWindow());
    const ModalRunner& runner = runnerSlot();
    const int result = runner ? runner(dialog) : dialog.exec();
    return result == QDialog::Accepted;
}

void TrPasswordDlg::install() {
    TrCustomConnect::setDialogPresenter(&TrPasswordDlg::Execute);
}

TrPasswordDlg::ModalRunner TrPasswordDlg::setModalRunner(ModalRunner runner) {
    return std::exchange(runnerSlot(), std::move(runner));
}

QString TrPasswordDlg::animationFile() {
    const QString file =
        QString::fromStdString(platform::programFolderFile(texts::kConnectAnimation));
    return QFileInfo::exists(file) ? file : QString();
}

void TrPasswordDlg::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!m_activated) {
        m_activated = true;
        FormActivate();
    }
}

void TrPasswordDlg::FormActivate() {
    if (CBResource->currentText().isEmpty())
        CBResource->setFocus();
    else if (EditUser->currentText().isEmpty() && EditUser->isEnabled())
        EditUser->setFocus();
    else
        EditPassword->setFocus();
    m_connect.setUser(EditUser->currentText());
    m_connect.setPassword(EditPassword->text());
    updateOK();
}

void TrPasswordDlg::updateOK() {
    OKBtn->setEnabled(m_connect.CanConnect());
}

void TrPasswordDlg::CBResourceChange() {
    m_connect.setResource(CBResource->currentText());
    m_connect.setUser(EditUser->currentText());
    updateOK();
}

void TrPasswordDlg::EditUserChange() {
    m_connect.setUser(EditUser->currentText());
    updateOK();
}

void TrPasswordDlg::EditPasswordChange() {
    m_connect.setPassword(EditPassword->text());
    updateOK();
}

void TrPasswordDlg::rSpeedButton1Click() {
    const QSignalBlocker userSignals(EditUser);
    const int shown = EditUser->findText(EditUser->currentText());
    if (shown >= 0)
        EditUser->removeItem(shown);
    QStringList remaining;
    for (int i = 0; i < EditUser->count(); ++i)
        remaining.append(EditUser->itemText(i));
    m_connect.setRecentUsers(remaining);
    EditUser->setEditText(remaining.isEmpty() ? QString() : remaining.first());
    EditUserChange();
}

void TrPasswordDlg::startAnimation() {
    const QString file = animationFile();
    if (!file.isEmpty()) {
        if (!m_movie) {
            m_movie = new QMovie(file, QByteArray(), this);
            m_movie->setScaledSize(Animate1->size());
            Animate1->setMovie(m_movie);
        }
        m_movie->start();
    } else if (Animate1->findChild<QProgressBar*>() == nullptr) {
        // The built-in busy indicator when no animation ships beside the program.
        auto* busy = new QProgressBar(Animate1);
        busy->setRange(0, 0);
        busy->setTextVisible(false);
        busy->setGeometry(0, 10, Animate1->width(), 12);
    }
    Image1->hide();
    Animate1->show();
    Animate1->repaint();
}

void TrPasswordDlg::stopAnimation() {
    if (m_movie)
        m_movie->stop();
    Animate1->hide();
    Image1->show();
}

void TrPasswordDlg::OKBtnClick() {
    startAnimation();
    // The window thread keeps serving events while a connection is attempted elsewhere: no
    // second attempt and no closing until this one has ended.
    OKBtn->setEnabled(false);
    CancelBtn->setEnabled(false);
    try {
        m_connect.Connect();
    } catch (const std::exception& e) {
        CancelBtn->setEnabled(true);
        updateOK();
        if (m_connect.attempts() == m_connect.MaxAttempts()) {
            reject();
        } else {
            stopAnimation();
            if (EditUser->currentText().isEmpty() && EditUser->isEnabled()) {
                EditUser->setFocus();
            } else {
                EditPassword->selectAll();
                EditPassword->setFocus();
            }
        }
        reportException(e);
        return;
    }
    accept();
}

} // namespace vt::desktop
