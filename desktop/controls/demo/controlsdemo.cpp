// A small program that shows the own controls and the error dialog on the screen and saves a
// picture of each look, for review by eye (scripts/screenshots.sh runs it under Xvfb).
// Usage: vtcontrols_demo OUTPUT_FOLDER
#include "dbengine/core/engineerror.h"
#include "desktop/controls/trbitbtn.h"
#include "desktop/controls/trlabel.h"
#include "desktop/controls/trseparator.h"
#include "desktop/controls/trspeedbutton.h"
#include "desktop/errors/eanyerror.h"
#include "desktop/errors/errordescriptions.h"
#include "desktop/errors/terrorhandler.h"
#include "desktop/errors/windows/errorhandlingapplication.h"
#include "desktop/errors/windows/trformerrormes.h"
#include "desktop/shell/resourcelibrary.h"

#include <QComboBox>
#include <QDir>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QThread>
#include <cstdio>

using namespace vt::desktop;

namespace {

QString g_folder;

// Lets the window reach the screen, then saves what the screen shows of it.
bool snap(QWidget& window, const QString& name) {
    for (int i = 0; i < 20; ++i) {
        QCoreApplication::processEvents();
        QThread::msleep(20);
    }
    const QRect frame = window.frameGeometry();
    const QPixmap shot =
        window.screen()->grabWindow(0, frame.x(), frame.y(), frame.width(), frame.height());
    const QString file = QDir(g_folder).filePath(name + QStringLiteral(".png"));
    if (shot.isNull() || !shot.save(file)) {
        std::fprintf(stderr, "cannot save %s\n", qPrintable(file));
        return false;
    }
    std::printf("%s\n", qPrintable(file));
    return true;
}

TrLabel* addLabel(QGridLayout* grid, int row, int column, const QString& caption,
                  const std::function<void(TrLabel*)>& setup) {
    auto* label = new TrLabel;
    label->setAutoSize(false);
    label->setMinimumSize(180, 44);
    label->setCaption(caption);
    setup(label);
    grid->addWidget(label, row, column);
    return label;
}

bool labels() {
    QWidget window;
    window.setWindowTitle(QStringLiteral("TrLabel"));
    auto* grid = new QGridLayout(&window);
    QFont big = window.font();
    big.setPointSize(13);
    big.setBold(true);
    addLabel(grid, 0, 0, QStringLiteral("Defaults (3D)"), [&](TrLabel* l) { l->setFont(big); });
    addLabel(grid, 0, 1, QStringLiteral("Raised bevel, centred"), [](TrLabel* l) {
        l->setBevelOuter(bvRaised);
        l->setAlignment(taCenter);
        l->setLayout(tlCenter);
    });
    addLabel(grid, 1, 0, QStringLiteral("Value box 42"), [](TrLabel* l) {
        l->setBevelOuter(bvLowered);
        l->setRaisedBottom(false);
        l->setAlignment(taCenter);
        l->setLayout(tlCenter);
    });
    addLabel(grid, 1, 1, QStringLiteral("Disabled label"), [&](TrLabel* l) {
        l->setFont(big);
        l->setEnabled(false);
    });
    addLabel(grid, 2, 0, QStringLiteral("Blink colours"), [&](TrLabel* l) {
        l->setFont(big);
        l->setBlinkColor(QColor(200, 0, 0));
        l->setBlinkSpeed(60000);
        l->setBlink(true);
    });
    addLabel(grid, 2, 1, QStringLiteral("Bottom right, double bevel"), [](TrLabel* l) {
        l->setBevelOuter(bvRaised);
        l->setBevelInner(bvLowered);
        l->setBorderWidth(2);
        l->setAlignment(taRightJustify);
        l->setLayout(tlBottom);
    });
    addLabel(grid, 3, 0,
             QStringLiteral("A long message that wraps at word boundaries inside a sunken box"),
             [](TrLabel* l) {
                 l->setBevelOuter(bvLowered);
                 l->setText3D(false);
                 l->setWordWrap(true);
                 l->setAlignment(taCenter);
                 l->setLayout(tlCenter);
                 l->setMinimumHeight(56);
             });
    addLabel(grid, 3, 1, QStringLiteral("Deep 3D"), [&](TrLabel* l) {
        l->setFont(big);
        l->setRaisedTopDistance(2);
        l->setRaisedBottomDistance(2);
        l->setColor(QColor(230, 230, 200));
    });
    window.resize(400, 260);
    window.show();
    return snap(window, QStringLiteral("trlabel-looks"));
}

bool buttons() {
    QWidget window;
    window.setWindowTitle(QStringLiteral("Buttons"));
    auto* column = new QVBoxLayout(&window);
    auto* bar = new QHBoxLayout;
    bar->setSpacing(0);
    column->addLayout(bar);
    const QStyle* style = window.style();
    auto addSpeed = [&](const QImage& glyph, const QString& tip) {
        auto* button = new TrSpeedButton;
        button->setGlyph(glyph);
        button->setToolTip(tip);
        bar->addWidget(button);
        return button;
    };
    auto* exit = new TrSpeedButton;
    exit->setGlyphResource(QStringLiteral("EXIT_BTN"));
    bar->addWidget(exit);
    auto* divider = new TrSeparator;
    divider->setSeparatorStyle(rspDivider);
    bar->addWidget(divider);
    addSpeed(style->standardIcon(QStyle::SP_DialogOpenButton).pixmap(16).toImage(),
             QStringLiteral("Open"));
    addSpeed(style->standardIcon(QStyle::SP_DialogSaveButton).pixmap(16).toImage(),
             QStringLiteral("Save"));
    bar->addWidget(new TrSeparator);
    addSpeed(style->standardIcon(QStyle::SP_MediaPlay).pixmap(16).toImage(), QStringLiteral("Run"))
        ->setEnabled(false);
    bar->addStretch();

    auto* fileRow = new QHBoxLayout;
    auto* combo = new QComboBox;
    combo->setEditable(true);
    combo->addItem(QStringLiteral("/var/lib/vantrel/update-2.1.rsql"));
    fileRow->addWidget(combo, 1);
    auto* browse = new TrSpeedButton;
    browse->setText(QStringLiteral("..."));
    browse->setToolButtonStyle(Qt::ToolButtonTextOnly);
    browse->setControlFocused(combo);
    browse->setControlShortCut(QKeyCombination(Qt::Key_F4));
    fileRow->addWidget(browse);
    column->addLayout(fileRow);

    auto* row = new QHBoxLayout;
    row->addStretch();
    auto* ok = new TrBitBtn(QStringLiteral("&OK"));
    ok->setGlyph(style->standardIcon(QStyle::SP_DialogOkButton).pixmap(16).toImage());
    row->addWidget(ok);
    auto* quit = new TrBitBtn(QStringLiteral("&Выход"));
    quit->setGlyphResource(QStringLiteral("EXIT_BTN"));
    row->addWidget(quit);
    column->addLayout(row);
    window.resize(420, 130);
    window.show();
    return snap(window, QStringLiteral("buttons-separators"));
}

bool errorDialog(const std::exception& e, const QString& name) {
    TErrorHandler handler;
    handler.error().Describe(e);
    handler.setCaption(QGuiApplication::applicationDisplayName());
    TrFormErrorMes form;
    form.setup(handler);
    form.show();
    bool ok = snap(form, name + QStringLiteral("-compact"));
    if (form.BitBtnAll->isEnabled()) {
        form.BitBtnAll->click();
        ok = snap(form, name + QStringLiteral("-expanded")) && ok;
    }
    return ok;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT_FOLDER\n", argv[0]);
        return 2;
    }
    ErrorHandlingApplication app(argc, argv);
    QApplication::setApplicationDisplayName(QStringLiteral("Vantrel Utilities"));
    g_folder = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(g_folder);
    // The resource library lies in the program folder of the build (VT_PROGRAM_BIN).
    const QString bin = qEnvironmentVariable("VT_PROGRAM_BIN");
    const auto library = LoadResourceLibrary(bin.isEmpty() ? QStringLiteral("vtres.so")
                                                           : bin + QStringLiteral("/vtres.so"),
                                             programModule(), QStringLiteral("2.0.7"));
    setOpenDatabasesProvider([] { return QStringList{QStringLiteral("ACCOUNTS")}; });

    bool ok = labels();
    ok = buttons() && ok;
    ok = errorDialog(EAnyError("Ошибка показа веб-страницы:", "Не могу запустить веб-броузер.",
                               "Код ошибки: 2\\rАдрес: https://vantrel.example/utilities"),
                     QStringLiteral("error-dialog")) &&
         ok;
    ok = errorDialog(vt::dbengine::EDBEngineError(std::vector<vt::dbengine::EngineErrorEntry>{
                         {0x2A01, 0,
                          "Не удалось подключиться: host=127.0.0.1 user=admin password=s3cret "
                          "dbname=accounts"},
                         {0x2A02, 0, "FATAL: password authentication failed for user admin"}}),
                     QStringLiteral("error-dialog-engine")) &&
         ok;
    return ok ? 0 : 1;
}
