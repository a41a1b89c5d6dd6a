// Screenshot tool of the data transfer window: both logins done with a mapping proposed, and a
// move in progress, on two sample SQLite databases.
//
// Usage: vtbatch_screenshots <program folder> <output folder>. Writes batch-mapping.png and
// batch-moving.png. Runs on any Qt platform (offscreen included); the settings folder is a fresh
// temporary one.
#include "dbengine/testkit/testkit.h"
#include "desktop/app/apptexts.h"
#include "desktop/scripts/trdbconnect.h"
#include "desktop/scripts/windows/formbatch.h"
#include "desktop/shell/appmessage.h"
#include "desktop/shell/appsettings.h"
#include "desktop/shell/resourcelibrary.h"
#include "desktop/shell/resourcemodule.h"
#include "desktop/shell/windows/screenshot.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>

namespace {

using namespace vt::desktop;

using screenshot::settle;
using screenshot::shoot;

void choose(QComboBox* box, const char* alias) {
    const int index = box->findText(QString::fromLatin1(alias));
    box->setCurrentIndex(index);
    Q_EMIT box->activated(index);
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: vtbatch_screenshots <program folder> <output folder>\n");
        return 2;
    }
    QTemporaryDir config;
    qputenv("VT_CONFIG_DIR", QFile::encodeName(config.path()));
    const QString out = QString::fromLocal8Bit(argv[2]);
    QDir().mkpath(out);
    const std::string shop = config.filePath("shop.db").toStdString();
    const std::string archive = config.filePath("archive.db").toStdString();
    using vt::dbengine::testkit::sqliteRun;
    sqliteRun(shop, "create table customers(id integer primary key, title text, city text, "
                    "phone text); create table orders(id integer primary key, customer int, "
                    "total numeric); with recursive g(x) as (select 1 union all select x + 1 "
                    "from g where x < 1500000) insert into orders select x, x % 5000, x * 1.5 "
                    "from g");
    sqliteRun(archive, "create table CUSTOMERS(ID int primary key, NAME text, CITY text, "
                       "REGION text); create table ORDERS(ID int primary key, CUSTOMER int, "
                       "TOTAL numeric)");
    QFile aliases(config.filePath("aliases.ini"));
    if (!aliases.open(QIODevice::WriteOnly))
        return 1;
    aliases.write(("[SHOP]\nDRIVER=STANDARD\nPATH=" + shop +
                   "\n[ARCHIVE]\nDRIVER=STANDARD\nPATH=" + archive + "\n")
                      .c_str());
    aliases.close();

    QApplication::setApplicationDisplayName(QString::fromUtf8(texts::kApplicationTitle));
    initAppSettings();
    const QString library = QDir(QString::fromLocal8Bit(argv[1])).filePath("vtres.so");
    const auto resources = LoadResourceLibrary(
        library, programModule(), QString::fromUtf8(texts::kResourceLibraryMinVersion));
    if (!resources)
        return 1;
    // The login dialog answers OK at once; the success message is not shown.
    TrCustomConnect::setDialogPresenter([](TrCustomConnect& c) {
        c.Connect();
        return true;
    });
    setAppMessageHandler([](const QString&, const QString&, unsigned) { return mb::idOk; });

    bool ok = true;
    TFormBatch form;
    form.show();
    settle();
    choose(form.ComboBox1, "SHOP");
    choose(form.ComboBox2, "ARCHIVE");
    form.Button2->click();
    ok &= shoot(form, out, "batch-mapping.png");

    form.ComboBox3->setCurrentIndex(form.ComboBox3->findText(QStringLiteral("orders")));
    form.Memo2->clear();
    form.ComboBox5->setCurrentIndex(2);
    int steps = 0;
    QEventLoop wait;
    QObject::connect(&form.transfer(), &BatchTransfer::progress, &wait, [&] {
        if (++steps == 40)
            wait.quit();
    });
    QObject::connect(&form.transfer(), &BatchTransfer::finished, &wait, &QEventLoop::quit);
    form.BitBtn1->click();
    wait.exec();
    ok &= steps >= 40 && shoot(form, out, "batch-moving.png");
    form.BitBtn2->click(); // cancels the move
    QEventLoop end;
    QObject::connect(&form.transfer(), &BatchTransfer::finished, &end, &QEventLoop::quit);
    if (form.transfer().running())
        end.exec();
    return ok ? 0 : 1;
}
