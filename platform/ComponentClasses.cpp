#include "Component.h"
#include "Database.h"

#include <map>

std::unique_ptr<TComponent> CreateComponentOfClass(const std::string& className, TComponent* owner)
{
    using Factory = std::unique_ptr<TComponent> (*)(TComponent*);
    static const std::map<std::string, Factory> factories = {
        {"TDatabase",
         [](TComponent* o) -> std::unique_ptr<TComponent> { return std::make_unique<TDatabase>(o); }},
    };
    const auto it = factories.find(className);
    return it == factories.end() ? nullptr : it->second(owner);
}
