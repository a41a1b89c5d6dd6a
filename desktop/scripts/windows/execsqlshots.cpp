// Screenshot tool of the script execution window and the login dialog: builds them in sample
// states and saves a picture of each.
//
// Usage: vtexecsql_screenshots <program folder> <output folder> <fake plug-in>. Writes
// login.png, execsql-before.png, execsql-during.png, execsql-abort-retry-ignore.png and
// execsql-after.png. The run goes through the scriptable fake plug-in of the console tests, so
// that it needs no database; the settings folder is a fresh temporary one.
#include "desktop/controls/trbitbtn.h"
#include "desktop/scripts/trconnect.h"
#include "desktop/scripts/windows/formexecsql.h"
#include "desktop/scripts/windows/trpassworddlg.h"
#include "desktop/shell/appmessage.h"
#include "desktop/shell/appsettings.h"
#include "desktop/shell/resourcelibrary.h"
#include "desktop/shell/resourcemodule.h"
#include "desktop/shell/windows/screenshot.h"
#include "platform/codepage.h"
#include "script/rsqlwriter.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>

namespace {

using namespace vt::desktop;

QString g_out;
bool g_ok = true;

using screenshot::settle;

// The widget as it stands, without showing or activating it again.
void save(QWidget& widget, const char* name) {
    settle();
    g_ok &= screenshot::save(widget.grab(), g_out, name);
}

QString sampleScript(const QString& folder) {
    vt::script::RsqlContent content;
    content.code = "SHOP";
    content.oldVersion = "1.0";
    content.newVersion = "";
    content.user = "admin";
    content.comments = {vt::platform::utf8ToAnsi("Заказы получают дату доставки."),
                        vt::platform::utf8ToAnsi("Старые адреса переносятся в новую таблицу.")};
    for (int i = 1; i <= 8; ++i)
        content.commands.push_back(
            {"UPDATE orders SET delivery_id = " + std::to_string(i), "WHERE id > 0"});
    const QString path = QDir(folder).filePath(QStringLiteral("upgrade_orders.rsql"));
    vt::script::writeRsqlScript(path.toStdString(), content);
    return path;
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc != 4) {
        std::fprintf(stderr, "usage: vtexecsql_screenshots <program folder> <output folder> "
                             "<fake plug-in>\n");
        return 2;
    }
    QTemporaryDir config;
    qputenv("VT_CONFIG_DIR", QFile::encodeName(config.path()));
    g_out = QString::fromLocal8Bit(argv[2]);
    QDir().mkpath(g_out);
    QApplication::setApplicationDisplayName(QStringLiteral("Vantrel Utilities"));
    initAppSettings();
    const auto resources =
        LoadResourceLibrary(QDir(QString::fromLocal8Bit(argv[1])).filePath("vtres.so"),
                            programModule(), QStringLiteral("2.0.7"));
    if (!resources)
        return 1;

    {
        TrConnect connect;
        connect.setResources({QStringLiteral("SHOP"), QStringLiteral("ACCOUNTS")});
        connect.setResource(QStringLiteral("SHOP"));
        connect.setRecentUsers({QStringLiteral("admin"), QStringLiteral("ivan")});
        connect.setUser(QStringLiteral("admin"));
        TrPasswordDlg dialog(connect);
        dialog.show();
        dialog.EditPassword->setText(QStringLiteral("secret"));
        save(dialog, "login.png");
    }

    TrPasswordDlg::install();
    TrPasswordDlg::setModalRunner([](TrPasswordDlg& dialog) {
        dialog.show();
        dialog.EditUser->setEditText(QStringLiteral("admin"));
        dialog.OKBtn->click();
        return dialog.result();
    });
    qputenv("VT_FAKE_ALIASES", "SHOP;ACCOUNTS;");
    qputenv("VT_FAKE_FIRST", "3");
    qputenv("VT_FAKE_LAST", "8");
    qputenv("VT_FAKE_DBCODE", "SHOP");
    qputenv("VT_FAKE_FAIL", "5:1");

    TFormExecSQL form;
    form.setPluginFile(QString::fromLocal8Bit(argv[3]));
    form.FEIni2->setText(sampleScript(config.path()));
    form.show();
    save(form, "execsql-before.png");

    // The run's message boxes: the failure box is shown for real and grabbed, the window is
    // grabbed while the run waits for it and after the run.
    setAppMessageHandler([&](const QString&, const QString& text, unsigned flags) {
        if (flags != (mb::kAbortRetryIgnore | mb::kIconError)) {
            save(form, "execsql-after.png");
            return mb::idOk;
        }
        save(form, "execsql-during.png");
        QTimer::singleShot(300, [] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box)
                return;
            save(*box, "execsql-abort-retry-ignore.png");
            box->button(QMessageBox::Retry)->click();
        });
        AppMessageHandler self = setAppMessageHandler({});
        const int answer = ShowAppMessage(text, flags);
        setAppMessageHandler(self);
        return answer;
    });
    try {
        form.BBOKClick();
    } catch (const std::exception& e) {
        std::fprintf(stderr, "vtexecsql_screenshots: %s\n", e.what());
        g_ok = false;
    }
    setAppMessageHandler({});
    return g_ok ? 0 : 1;
}
