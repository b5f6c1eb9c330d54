#include "Component.h"

bool ComponentRegistry::s_enabled = false;

std::map<std::string, ComponentRegistry::Factory>& ComponentRegistry::factories() {
    static std::map<std::string, Factory> table;
    return table;
}

void ComponentRegistry::enableHosting() {
    s_enabled = true;
}
void ComponentRegistry::disableHosting() {
    s_enabled = false;
}

void ComponentRegistry::registerFactory(const std::string& classId, Factory factory) {
    factories()[classId] = std::move(factory);
}

Component* ComponentRegistry::create(const std::string& classId, QWidget* parent) {
    if (!s_enabled) return nullptr;
    const auto it = factories().find(classId);
    return it == factories().end() ? nullptr : it->second(parent);
}
