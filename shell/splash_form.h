// The start-up splash: a picture, a label and a button without behaviour; its timer closes it
// should start-up still be showing it after seven seconds.
#pragma once

#include <QWidget>

namespace tallyrig {

inline constexpr int kSplashMilliseconds = 4000;
inline constexpr int kSplashTimerMilliseconds = 7000;

class splash_form : public QWidget {
    Q_OBJECT
public:
    explicit splash_form(QWidget* parent = nullptr);

protected:
    void showEvent(QShowEvent* event) override;
};

} // namespace tallyrig
