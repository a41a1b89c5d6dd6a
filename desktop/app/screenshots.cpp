// Screenshot tool of the desktop program: builds each window of the shell in a sample state and
// saves a picture of it.
//
// Usage: vtdesk_screenshots <program folder> <output folder>. Writes splash.png,
// mainwindow-tools-menu.png (the main window with its Tools menu open), tools.png, tooledit.png,
// viewer.png and about.png. Runs on any Qt platform (offscreen included); the settings folder is
// a fresh temporary one with three sample tools.
#include "desktop/app/apptexts.h"
#include "desktop/app/mainform.h"
#include "desktop/app/scriptwindows.h"
#include "desktop/shell/appsettings.h"
#include "desktop/shell/resourcelibrary.h"
#include "desktop/shell/resourcemodule.h"
#include "desktop/shell/windows/aboutbox.h"
#include "desktop/shell/windows/formmemo.h"
#include "desktop/shell/windows/formtooledit.h"
#include "desktop/shell/windows/formtools.h"
#include "desktop/shell/windows/logo.h"
#include "desktop/shell/windows/screenshot.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMenuBar>
#include <QPainter>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QToolButton>
#include <cstdio>

namespace {

using namespace vt::desktop;

QString g_out;

using screenshot::settle;
using screenshot::writeFile;

bool shoot(QWidget& window, const char* name) {
    return screenshot::shoot(window, g_out, name);
}

// The main window with its Tools menu dropped down below the menu bar.
bool shootMainWindowWithToolsMenu(TMainForm& form) {
    form.show();
    // The status line as it reads with the mouse over the tools button.
    form.statusBar()->showMessage(form.TBTools->statusTip());
    settle();
    const QPixmap window = form.grab();
    const QRect item = form.menuBar()->actionGeometry(form.NTools->menuAction());
    form.NTools->popup(form.mapToGlobal(QPoint(item.left(), form.menuBar()->height())));
    settle();
    const QPixmap menu = form.NTools->grab();
    form.NTools->hide();
    const QPoint at(item.left(), form.menuBar()->height());
    QPixmap canvas(std::max(window.width(), at.x() + menu.width()),
                   std::max(window.height(), at.y() + menu.height()) + 8);
    canvas.fill(QColor(0x6E, 0x7F, 0x86));
    QPainter p(&canvas);
    p.drawPixmap(0, 0, window);
    p.fillRect(QRect(at + QPoint(3, 3), menu.size()), QColor(0, 0, 0, 60));
    p.drawPixmap(at, menu);
    p.end();
    return screenshot::save(canvas, g_out, "mainwindow-tools-menu.png");
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: vtdesk_screenshots <program folder> <output folder>\n");
        return 2;
    }
    QTemporaryDir config;
    qputenv("VT_CONFIG_DIR", QFile::encodeName(config.path()));
    g_out = QString::fromLocal8Bit(argv[2]);
    QDir().mkpath(g_out);
    writeFile(config.filePath("tools.ini"),
              "[Text editor]\r\nProgramName=/usr/bin/gedit\r\nWorkDir=\r\nParams=\r\n"
              "[Database shell]\r\nProgramName=/usr/bin/sqlite3\r\nWorkDir=/var/lib/shop\r\n"
              "Params=shop.db\r\n"
              "[Compare scripts]\r\nProgramName=\"/opt/diff tools/meld\"\r\nWorkDir=\r\n"
              "Params=--newtab\r\n");
    const QString script = config.filePath("upgrade_orders.rsql");
    writeFile(script.toUtf8(),
              "[Header]\r\nCode=SHOP\r\nOldVersion=1.0\r\nNewVersion=1.1\r\nCommands=3\r\n"
              "User=admin\r\n\r\n[Comments]\r\nLine1=Orders get a delivery date\r\n\r\n"
              "[Command1]\r\nSQL1=CREATE TABLE delivery (id INTEGER PRIMARY KEY,\r\n"
              "SQL2=  order_id INTEGER NOT NULL, due DATE)\r\n\r\n"
              "[Command2]\r\nSQL1=ALTER TABLE orders ADD COLUMN delivery_id INTEGER\r\n\r\n"
              "[Command3]\r\nSQL1=CREATE INDEX orders_delivery ON orders (delivery_id)\r\n");

    QApplication::setApplicationDisplayName(QString::fromUtf8(texts::kApplicationTitle));
    initAppSettings();
    const QString library = QDir(QString::fromLocal8Bit(argv[1])).filePath("vtres.so");
    const auto resources = LoadResourceLibrary(
        library, programModule(), QString::fromUtf8(texts::kResourceLibraryMinVersion));
    if (!resources)
        return 1;

    bool ok = true;
    {
        TLogo splash;
        ok &= shoot(splash, "splash.png");
    }
    TMainForm form(scriptWindows());
    ok &= shootMainWindowWithToolsMenu(form);
    {
        TFormTools tools(form, &form);
        ok &= shoot(tools, "tools.png");
        tools.hide();
    }
    {
        TFormToolEdit edit(&form);
        edit.setTool(readTool(ToolsIni(), QStringLiteral("Compare scripts")));
        ok &= shoot(edit, "tooledit.png");
    }
    {
        TFormMemo viewer(script, 2, true, &form);
        viewer.show();
        settle();
        viewer.FormActivate();
        ok &= shoot(viewer, "viewer.png");
    }
    {
        TAboutBox about(&form);
        ok &= shoot(about, "about.png");
    }
    return ok ? 0 : 1;
}
