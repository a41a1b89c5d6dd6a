// Screenshot tool of the script windows: builds the kinds list and editor and both conversion
// windows filled in as a user would, and saves a picture of each.
//
// Usage: vtscriptwindows_screenshots <program folder> <output folder>. Writes sqltools.png,
// sqledit.png, convert1.png (a scrambled conversion with versions and comments) and convert2.png.
// Runs on any Qt platform (offscreen included); the settings folder is a fresh temporary one
// with three sample kinds.
#include "desktop/scripts/scriptkinds.h"
#include "desktop/scripts/windows/formconvert1.h"
#include "desktop/scripts/windows/formconvert2.h"
#include "desktop/scripts/windows/formsqledit.h"
#include "desktop/scripts/windows/formsqltools.h"
#include "desktop/scripts/windows/trfileedit.h"
#include "desktop/shell/appsettings.h"
#include "desktop/shell/resourcelibrary.h"
#include "desktop/shell/resourcemodule.h"
#include "desktop/shell/windows/screenshot.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QTemporaryDir>
#include <cstdio>

namespace {

using namespace vt::desktop;

QString g_out;

bool shoot(QWidget& window, const char* name) {
    return screenshot::shoot(window, g_out, name);
}

using screenshot::writeFile;

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr,
                     "usage: vtscriptwindows_screenshots <program folder> <output folder>\n");
        return 2;
    }
    QTemporaryDir config;
    qputenv("VT_CONFIG_DIR", QFile::encodeName(config.path()));
    g_out = QString::fromLocal8Bit(argv[2]);
    QDir().mkpath(g_out);
    const QString scripts = config.filePath(QStringLiteral("scripts"));
    QDir().mkpath(scripts);
    writeFile(config.filePath(QStringLiteral("sqltools.ini")),
              "[SQLite]\r\nUseDefault=1\r\nDelimeter=;\r\nCommand=\r\n"
              "Ignore Command=BEGIN;COMMIT;END\r\nUserName=\r\nDefault Path=" +
                  scripts.toUtf8() +
                  "\r\nCommentBegin=--\r\nCommentEnd=\r\nDBCode=SHOP\r\nDialect=SQLite\r\n"
                  "[PostgreSQL]\r\nUseDefault=0\r\nDelimeter=;\r\nCommand=\r\n"
                  "Ignore Command=BEGIN;START TRANSACTION;COMMIT\r\nUserName=postgres\r\n"
                  "Default Path=\r\nCommentBegin=--\r\nCommentEnd=\r\nDBCode=ACCOUNTS\r\n"
                  "Dialect=PostgreSQL\r\n"
                  "[Firebird]\r\nUseDefault=0\r\nDelimeter=;\r\nCommand=SET TERM\r\n"
                  "Ignore Command=CONNECT;COMMIT\r\nUserName=SYSDBA\r\nDefault Path=\r\n"
                  "CommentBegin=/*\r\nCommentEnd=*/\r\nDBCode=STOCK\r\n");
    const QString sql = QDir(scripts).filePath(QStringLiteral("upgrade_orders.sql"));
    writeFile(sql, "CREATE TABLE delivery (id INTEGER PRIMARY KEY, due DATE);\r\n");

    initAppSettings();
    const QString library = QDir(QString::fromLocal8Bit(argv[1])).filePath("vtres.so");
    const auto resources = LoadResourceLibrary(library, programModule(), QStringLiteral("2.0.7"));
    if (!resources)
        return 1;

    bool ok = true;
    {
        TFormSQLTools tools;
        ok &= shoot(tools, "sqltools.png");
    }
    {
        TFormSQLEdit edit;
        edit.setKind(ScriptKinds(SqlToolsIni()).load("Firebird"));
        edit.ENameChange();
        ok &= shoot(edit, "sqledit.png");
    }
    {
        TFormConvert1 convert;
        convert.FEScript->setText(sql);
        convert.Edit1->setText(QStringLiteral("1.0"));
        convert.Edit3->setText(QStringLiteral("1.1"));
        convert.EDBUser->setText(QStringLiteral("admin"));
        convert.CBCrypt->setChecked(true);
        convert.EPassKey->setText(QStringLiteral("secret"));
        convert.EPassKey1->setText(QStringLiteral("secret"));
        convert.Memo1->setPlainText(QString::fromUtf8("Заказы получают дату доставки\n"
                                                      "Run after the 1.0 release"));
        convert.PBConvert->setRange(0, 100);
        convert.PBConvert->setValue(40);
        ok &= shoot(convert, "convert1.png");
    }
    {
        TFormConvert2 convert;
        convert.CBScript->setCurrentText(QStringLiteral("Firebird"));
        convert.FEIni2->setText(QDir(scripts).filePath(QStringLiteral("upgrade_orders.rsql")));
        convert.ETerm->setText(QStringLiteral("^"));
        convert.EPassKey->setText(QStringLiteral("secret"));
        ok &= shoot(convert, "convert2.png");
    }
    return ok ? 0 : 1;
}
