// Tests of the login dialog with the login components: attempts, enabling, the recent users.
#include "desktop/scripts/windows/trpassworddlg.h"

#include "dbengine/testkit/testkit.h"
#include "desktop/controls/trbitbtn.h"
#include "desktop/controls/trspeedbutton.h"
#include "desktop/errors/terrorhandler.h"
#include "desktop/errors/windows/errorhandlingapplication.h"
#include "desktop/scripts/trconnect.h"
#include "desktop/scripts/trdbconnect.h"
#include "desktop/shell/appsettings.h"
#include "platform/exception.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QTest>

namespace vt::desktop {

class TrPasswordDlgTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void threeFailedClicksCloseTheDialogAndEachIsReported();
    void okFollowsTheRequiredValues_data();
    void okFollowsTheRequiredValues();
    void aStandardAliasEnablesOkWithoutALogin();
    void forgettingAUserLeavesTheNextOne();
    void thePasswordIsNeverShownInClear();
    void aSuccessfulLoginClosesWithOk();

private:
    // Shows the dialog, runs the actions on it, and returns its result.
    void runDialog(std::function<void(TrPasswordDlg&)> actions);

    std::unique_ptr<dbengine::testkit::EngineEnv> m_env;
    TErrorHandler m_handler;
    int m_reported = 0;
};

void TrPasswordDlgTest::init() {
    m_env = std::make_unique<dbengine::testkit::EngineEnv>();
    initAppSettings();
    TrPasswordDlg::install();
    ErrorHandlingApplication::installErrorHandler(&m_handler);
    m_handler.setDialogPresenter([this](TErrorHandler&) { ++m_reported; });
    m_reported = 0;
}

void TrPasswordDlgTest::cleanup() {
    ErrorHandlingApplication::installErrorHandler(nullptr);
    TrPasswordDlg::setModalRunner({});
    TrCustomConnect::setDialogPresenter({});
    doneAppSettings();
    m_env.reset();
}

void TrPasswordDlgTest::runDialog(std::function<void(TrPasswordDlg&)> actions) {
    TrPasswordDlg::setModalRunner([actions](TrPasswordDlg& dialog) {
        dialog.show();
        actions(dialog);
        return dialog.isVisible() ? int(QDialog::Rejected) : dialog.result();
    });
}

void TrPasswordDlgTest::threeFailedClicksCloseTheDialogAndEachIsReported() {
    TrConnect c;
    c.setResources({QStringLiteral("SHOP")});
    c.setUser(QStringLiteral("before"));
    int calls = 0;
    c.OnConnect = [&](TrCustomConnect&) {
        ++calls;
        throw Exception("login refused");
    };
    bool openAfterTwo = false;
    runDialog([&](TrPasswordDlg& d) {
        d.EditUser->setEditText(QStringLiteral("ivan"));
        d.EditPassword->setText(QStringLiteral("pw"));
        QTest::mouseClick(d.OKBtn, Qt::LeftButton);
        QTest::mouseClick(d.OKBtn, Qt::LeftButton);
        openAfterTwo = d.isVisible() && d.Animate1->isHidden();
        QTest::mouseClick(d.OKBtn, Qt::LeftButton);
    });
    QVERIFY(!c.Execute());
    QVERIFY(openAfterTwo);
    QCOMPARE(calls, 3);
    QCOMPARE(m_reported, 3);
    QCOMPARE(c.User(), QStringLiteral("before"));
    QCOMPARE(c.Password(), QString());
}

void TrPasswordDlgTest::okFollowsTheRequiredValues_data() {
    QTest::addColumn<bool>("passwordRequired");
    QTest::addColumn<QString>("user");
    QTest::addColumn<QString>("password");
    QTest::addColumn<bool>("enabled");
    QTest::newRow("user and password") << true << "ivan"
                                       << "pw" << true;
    QTest::newRow("no password while one is required") << true << "ivan"
                                                       << "" << false;
    QTest::newRow("no password when none is required") << false << "ivan"
                                                       << "" << true;
    QTest::newRow("no user") << false << ""
                             << "pw" << false;
}

void TrPasswordDlgTest::okFollowsTheRequiredValues() {
    QFETCH(bool, passwordRequired);
    QFETCH(QString, user);
    QFETCH(QString, password);
    QFETCH(bool, enabled);
    TrConnect c;
    c.setResources({QStringLiteral("SHOP")});
    c.setPasswordRequired(passwordRequired);
    TrPasswordDlg d(c);
    d.show();
    d.EditUser->setEditText(user);
    d.EditPassword->setText(password);
    QCOMPARE(d.OKBtn->isEnabled(), enabled);
}

void TrPasswordDlgTest::aStandardAliasEnablesOkWithoutALogin() {
    m_env->writeAliases("[ACC]\nDRIVER=PGSQL\nSERVER NAME=127.0.0.1/acc\n\n"
                        "[SHOP]\nDRIVER=STANDARD\nPATH=shop.db\n");
    TrDBConnect c;
    TrPasswordDlg d(c);
    d.show();
    QCOMPARE(d.LabelResource->text(), QStringLiteral("&База данных:"));
    QCOMPARE(d.CBResource->currentText(), QStringLiteral("ACC"));
    QVERIFY(!d.OKBtn->isEnabled());
    d.CBResource->setCurrentText(QStringLiteral("SHOP"));
    QCOMPARE(c.Alias(), QStringLiteral("SHOP"));
    QVERIFY(d.OKBtn->isEnabled());
}

void TrPasswordDlgTest::forgettingAUserLeavesTheNextOne() {
    TrConnect c;
    c.setRecentUsers({QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")});
    c.setUser(QStringLiteral("a"));
    TrPasswordDlg d(c);
    d.show();
    QTest::mouseClick(d.rSpeedButton1, Qt::LeftButton);
    QCOMPARE(c.RecentUsers(), QStringList({"b", "c"}));
    QCOMPARE(d.EditUser->currentText(), QStringLiteral("b"));
    QCOMPARE(c.User(), QStringLiteral("b"));
}

void TrPasswordDlgTest::thePasswordIsNeverShownInClear() {
    TrConnect c;
    c.setPassword(QStringLiteral("secret"));
    {
        TrPasswordDlg d(c);
        QCOMPARE(d.EditPassword->echoMode(), QLineEdit::Password);
        QCOMPARE(d.EditPassword->text(), QString());
    }
    c.setShowLastPassword(true);
    TrPasswordDlg d(c);
    QCOMPARE(d.EditPassword->text(), QStringLiteral("secret"));
    QVERIFY(d.EditPassword->displayText() != QStringLiteral("secret"));
}

void TrPasswordDlgTest::aSuccessfulLoginClosesWithOk() {
    TrConnect c;
    c.setResources({QStringLiteral("B"), QStringLiteral("A")});
    QString connectedAs;
    c.OnConnect = [&](TrCustomConnect& s) { connectedAs = s.Resource() + "/" + s.User(); };
    QStringList offered;
    runDialog([&](TrPasswordDlg& d) {
        for (int i = 0; i < d.CBResource->count(); ++i)
            offered.append(d.CBResource->itemText(i));
        d.EditUser->setEditText(QStringLiteral("ivan"));
        d.EditPassword->setText(QStringLiteral("pw"));
        QTest::mouseClick(d.OKBtn, Qt::LeftButton);
    });
    QVERIFY(c.Execute());
    QCOMPARE(offered, QStringList({"A", "B"}));
    QCOMPARE(connectedAs, QStringLiteral("A/ivan"));
    QCOMPARE(m_reported, 0);
}

} // namespace vt::desktop

QTEST_MAIN(vt::desktop::TrPasswordDlgTest)
#include "trpassworddlg_test.moc"
