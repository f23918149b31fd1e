// Finding an earlier copy of a program. The first copy claims the name with a lock file and
// listens on a local socket of the same name; a later copy cannot claim it and asks the holder
// to raise its main window. The simulator's later copy then ends; the editor's runs on.
#pragma once

#include <QObject>
#include <QString>
#include <functional>
#include <memory>

class QLocalServer;
class QLockFile;

namespace tallyrig {

class SingleInstance : public QObject {
    Q_OBJECT
public:
    explicit SingleInstance(QString name, QObject* parent = nullptr);
    ~SingleInstance() override;

    // True when this copy now holds the name, and then listens for later copies; the lock of a
    // copy that died is taken over. False when a running copy holds it.
    bool claim();

    // Asks the copy that holds the name to raise its main window; false when none is reached.
    bool ask_earlier_copy_to_raise();

    // What a later copy's request runs. Requests before it is set are dropped: the main window
    // comes up on top anyway.
    void on_raise_request(std::function<void()> raise);

    // The name for a program whose main window carries this title, for this user.
    static QString name_for(const QString& title);

private:
    void listen(bool name_is_ours);

    QString m_name;
    std::unique_ptr<QLockFile> m_lock;
    QLocalServer* m_server = nullptr;
    std::function<void()> m_raise;
};

} // namespace tallyrig
