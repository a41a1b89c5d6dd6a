// TLogo: the splash window shown while the program starts, and the splash operations.
#pragma once

#include "desktop/controls/trlabel.h"
#include "desktop/shell/abouttexts.h"

#include <QWidget>

class QFrame;
class QLabel;
class QProgressBar;

namespace vt::desktop {

class TLogo final : public QWidget {
    Q_OBJECT
public:
    // Builds the window with its texts and pictures; throws EResNotFound when the main picture is
    // in no resource module.
    TLogo();

    // Sets the progress up for the number of steps (negative: nothing changes); the progress area
    // is shown exactly when there are steps, and the texts above it make room for it.
    void setupProgress(int steps);
    // One step of progress: the text with "...", the bar advanced by the current step size,
    // which then becomes nextStep. Nothing while the bar's maximum is 0.
    void step(const QString& text, int nextStep);

    QLabel* Image1;
    QLabel* Image2;
    TrLabel* RxLabel2;
    QLabel* ImageComp;
    TrLabel* RxLabel1;
    QLabel* Label1;
    QLabel* Label2;
    QLabel* ProgressLabel;
    QProgressBar* ProgressBar;
    QFrame* Shape1;

private:
    int m_stepSize = 0;
};

// Shows the splash (creating it when none exists) with the progress set up for the steps, and
// paints it at once. Throws EResNotFound when the splash's main picture is missing.
void ShowSplash(int steps);
// One progress step of the splash, when one exists.
void SplashStep(const QString& text, int nextStep);
// Closes the splash (after the step "Запуск" when finalStep is true).
void CloseSplash(bool finalStep);
// The splash while it exists, else null.
TLogo* currentSplash();

} // namespace vt::desktop
