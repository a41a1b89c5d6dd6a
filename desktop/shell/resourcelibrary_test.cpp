// Tests of loading the product resource library: current, too old and missing.
#include "desktop/shell/resourcelibrary.h"

#include "desktop/shell/appmessage.h"
#include "desktop/shell/appsettings.h"
#include "desktop/shell/resources.h"
#include "desktop/shell/shellerrors.h"
#include "desktop/shell/testenv.h"
#include "desktop/shell/versionutils.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace vt::desktop {
namespace {

struct Shown {
    QString caption;
    QString text;
    unsigned flags;
};

class ResourceLibraryTest : public ::testing::Test {
protected:
    void SetUp() override {
        testing::ensureQtApp();
        doneAppSettings();
        m_previous = setAppMessageHandler(
            [this](const QString& caption, const QString& text, unsigned flags) {
                m_shown.push_back({caption, text, flags});
                return mb::idOk;
            });
    }
    void TearDown() override {
        setAppMessageHandler(m_previous);
        doneAppSettings();
    }

    static QString libraryFile() { return testing::programBin() + QStringLiteral("/vtres.so"); }

    // A copy of vtres.so in a temporary folder with every occurrence of from replaced by to
    // (texts of equal length).
    QString patchedCopy(const QByteArray& from, const QByteArray& to) {
        QFile in(libraryFile());
        EXPECT_TRUE(in.open(QIODevice::ReadOnly));
        QByteArray bytes = in.readAll();
        EXPECT_TRUE(bytes.contains(from));
        EXPECT_EQ(from.size(), to.size());
        bytes.replace(from, to);
        const QString path = m_dir.filePath(QStringLiteral("vtres.so"));
        QFile out(path);
        EXPECT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(bytes);
        return path;
    }

    testing::ScopedConfigDir m_config;
    QTemporaryDir m_dir;
    std::vector<Shown> m_shown;
    AppMessageHandler m_previous;
};

TEST_F(ResourceLibraryTest, CurrentLibraryIsRegisteredAndItsPicturesAreFound) {
    auto library = LoadResourceLibrary(libraryFile(), programModule(), QStringLiteral("2.0.7"));
    ASSERT_TRUE(library);
    EXPECT_TRUE(m_shown.empty());
    const std::vector<HModule> expected = {programModule(), programModule(), library->module()};
    EXPECT_EQ(ResourceModules(), expected);
    EXPECT_EQ(library->module()->root(), QStringLiteral(":/vtres/"));

    struct Picture {
        const char* name;
        TBitmapResKind kind;
        QSize size;
    };
    for (const Picture& p :
         {Picture{"MAINLOGO", rkGIF, QSize(399, 255)},
          Picture{"MAINLOGO256", rkGIF, QSize(399, 255)},
          Picture{"COMPANYLOGO", rkGIF, QSize(205, 52)}, Picture{"COMPANY", rkGIF, QSize(106, 160)},
          Picture{"EXIT_BTN", rkBitmap, QSize(20, 20)}}) {
        QImage image;
        LoadResourceGraphic(image, programModule(), QString::fromLatin1(p.name), p.kind);
        EXPECT_EQ(image.size(), p.size) << p.name;
        HModule module = programModule();
        EXPECT_TRUE(
            FindResourceModule(module, QString::fromLatin1(p.name), ResourceTypeOf(p.kind)));
        EXPECT_EQ(module, library->module()) << p.name;
    }

    const HModule released = library->module();
    library.reset();
    EXPECT_EQ(std::count(ResourceModules().begin(), ResourceModules().end(), released), 0);
    QImage image;
    EXPECT_THROW(LoadResourceGraphic(image, programModule(), QStringLiteral("MAINLOGO"), rkGIF),
                 EResNotFound);
}

TEST_F(ResourceLibraryTest, OlderLibraryIsReportedAndItsPicturesAreNotFound) {
    const QByteArray version = GetFileVersion(libraryFile()).toLatin1();
    QByteArray older = version;
    older[0] = '1';
    ASSERT_NE(older, version);
    const QString copy = patchedCopy(version, older);
    ASSERT_EQ(GetFileVersion(copy), QString::fromLatin1(older));

    auto library = LoadResourceLibrary(copy, programModule(), QStringLiteral("2.0.7"));
    ASSERT_TRUE(library); // returned, for the caller to release, but not registered
    ASSERT_EQ(m_shown.size(), 1u);
    EXPECT_EQ(m_shown[0].caption, QStringLiteral("Vantrel Utilities"));
    EXPECT_EQ(m_shown[0].flags, 16u);
    EXPECT_EQ(m_shown[0].text,
              QStringLiteral("Требуется версия библиотеки \"%1\" не ниже 2.0.7.").arg(copy));
    EXPECT_EQ(ResourceModules(), std::vector<HModule>{programModule()});
    QImage image;
    try {
        LoadResourceGraphic(image, programModule(), QStringLiteral("MAINLOGO"), rkGIF);
        FAIL() << "found";
    } catch (const EResNotFound& e) {
        EXPECT_EQ(e.message(), "Ресурс MAINLOGO не найден");
    }
}

TEST_F(ResourceLibraryTest, LibraryWithoutVersionCountsAsVersionZero) {
    const QString copy =
        patchedCopy(QByteArrayLiteral(".vtversion"), QByteArrayLiteral(".vtversioX"));
    ASSERT_EQ(GetFileVersion(copy), QString());
    auto library = LoadResourceLibrary(copy, programModule(), QStringLiteral("2.0.7"));
    ASSERT_TRUE(library);
    ASSERT_EQ(m_shown.size(), 1u);
    EXPECT_TRUE(m_shown[0].text.startsWith(QStringLiteral("Требуется версия библиотеки")));
    EXPECT_EQ(ResourceModules().size(), 1u);
}

TEST_F(ResourceLibraryTest, MissingLibraryIsReportedWithTheLoadersText) {
    const QString missing = m_dir.filePath(QStringLiteral("nothere/vtres.so"));
    auto library = LoadResourceLibrary(missing, programModule(), QStringLiteral("2.0.7"));
    EXPECT_FALSE(library);
    ASSERT_EQ(m_shown.size(), 1u);
    EXPECT_EQ(m_shown[0].flags, 16u);
    const QString prefix = QStringLiteral("Не могу загрузить %1.\r\r").arg(missing);
    EXPECT_TRUE(m_shown[0].text.startsWith(prefix)) << m_shown[0].text.toStdString();
    EXPECT_TRUE(m_shown[0].text.endsWith(QStringLiteral("No such file or directory")))
        << m_shown[0].text.toStdString();
    EXPECT_EQ(ResourceModules().size(), 1u);
}

TEST_F(ResourceLibraryTest, ForeignCallerModuleIsListedBeforeTheProgram) {
    const ResourceModule caller("/opt/plugin.so", QStringLiteral(":/plugin/"));
    auto library = LoadResourceLibrary(libraryFile(), &caller, QStringLiteral("2.0.7"));
    ASSERT_TRUE(library);
    const std::vector<HModule> expected = {programModule(), &caller, programModule(),
                                           library->module()};
    EXPECT_EQ(ResourceModules(), expected);
    forgetResourceModule(&caller);
}

} // namespace
} // namespace vt::desktop
