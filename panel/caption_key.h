// A key of the front panel. Its caption, in any of the key table's colours, reads on the light
// key face, and any caption the key editor allows fits inside the key.
#pragma once

#include <QPushButton>

namespace tallyrig {

class CaptionKey : public QPushButton {
    Q_OBJECT

public:
    explicit CaptionKey(QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
};

} // namespace tallyrig
