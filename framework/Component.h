#pragma once

#include <QWidget>
#include <functional>
#include <map>
#include <memory>
#include <string>

// A hosted component: a widget of its own kind that a dialog template names by class id and
// that raises numbered events. The hosting dialog routes those events through its event
// table, so every event runs behind the same error boundary as any other handler.
class Component : public QWidget {
    Q_OBJECT
public:
    using EventSink = std::function<void(int eventId)>;

    explicit Component(QWidget* parent = nullptr)
        : QWidget(parent) {}
    void setEventSink(EventSink sink) { m_sink = std::move(sink); }

protected:
    void raiseEvent(int eventId) {
        if (m_sink) m_sink(eventId);
    }

private:
    EventSink m_sink;
};

// Class id -> factory. Hosting is switched on once at start-up; until then, and for a class
// id nobody registered, creating a component fails and so does the window that holds it.
class ComponentRegistry {
public:
    using Factory = std::function<Component*(QWidget* parent)>;

    static void enableHosting();
    static void disableHosting();
    static void registerFactory(const std::string& classId, Factory factory);
    // Null when hosting is off, the class id is unknown or the factory fails.
    static Component* create(const std::string& classId, QWidget* parent);

private:
    static std::map<std::string, Factory>& factories();
    static bool s_enabled;
};
