// TFormAction: the base of the action windows, a field area with Execute, Cancel and Help.
#include "desktop/shell/windows/formaction.h"

#include "desktop/controls/trbitbtn.h"
#include "desktop/shell/help.h"
#include "desktop/shell/windows/formsupport.h"
#include "desktop/shell/windows/windowtexts.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QShortcut>
#include <QVBoxLayout>

namespace vt::desktop {

TFormAction::TFormAction(QWidget* parent, const QString& executeGlyph, int helpContext)
    : QDialog(parent) {
    setWindowFlags((windowFlags() | Qt::MSWindowsFixedSizeDialogHint) &
                   ~Qt::WindowMaximizeButtonHint);
    GroupBox1 = new QGroupBox;
    GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
    const QByteArray glyph =
        executeGlyph.isEmpty() ? QByteArray("BBIGNORE") : executeGlyph.toLatin1();
    BitBtn1 = bitBtn("BitBtn1", QString::fromUtf8(texts::kExecute), glyph.constData());
    BitBtn1->setDefault(true);
    BitBtn1->setProperty(kHelpContextProperty, helpctx::kActionExecute);
    BitBtn2 = bitBtn("BitBtn2", QString::fromUtf8(texts::kCancel), "BBCANCEL");
    BitBtn2->setProperty(kHelpContextProperty, helpctx::kActionCancel);
    BitBtn3 = bitBtn("BitBtn3", QString::fromUtf8(texts::kHelp), "BBHELP");
    auto* buttons = buttonRow({BitBtn1, BitBtn2, BitBtn3});
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(GroupBox1, 1);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    GroupBox1->setMinimumSize(317, 90);

    connect(BitBtn2, &QPushButton::clicked, this, &QDialog::reject);
    for (const QKeySequence& keys :
         {QKeySequence(Qt::CTRL | Qt::Key_Return), QKeySequence(Qt::CTRL | Qt::Key_Enter)}) {
        auto* shortcut = new QShortcut(keys, this);
        shortcut->setContext(Qt::WindowShortcut);
        connect(shortcut, &QShortcut::activated, this, &TFormAction::FormKeyDown);
    }
    installFormHelp(this, helpContext, BitBtn3);
}

void TFormAction::FormKeyDown() {
    if (BitBtn1->isEnabled())
        BitBtn1->click();
}

} // namespace vt::desktop
