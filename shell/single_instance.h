// One copy of the simulator at a time: the first copy listens on a local socket; a later copy
// finds it there, asks it to raise its main window, and ends.
#pragma once

#include <QObject>
#include <QString>
#include <functional>

class QLocalServer;

namespace tallyrig {

class SingleInstance : public QObject {
    Q_OBJECT
public:
    explicit SingleInstance(QString name, QObject* parent = nullptr);
    ~SingleInstance() override;

    // True when an earlier copy runs; it has then been asked to raise its main window.
    bool ask_earlier_copy_to_raise();

    // Starts listening; raise runs whenever a later copy asks. False when no socket could be made.
    bool listen(std::function<void()> raise);

    // The socket name for this program and user.
    static QString default_name();

private:
    QString m_name;
    QLocalServer* m_server = nullptr;
    std::function<void()> m_raise;
};

} // namespace tallyrig
