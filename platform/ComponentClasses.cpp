#include "Component.h"
#include "DataSet.h"
#include "Database.h"

#include <map>

namespace {
template <typename T> std::unique_ptr<TComponent> Make(TComponent* owner)
{
    return std::make_unique<T>(owner);
}
} // namespace

std::unique_ptr<TComponent> CreateComponentOfClass(const std::string& className, TComponent* owner)
{
    using Factory = std::unique_ptr<TComponent> (*)(TComponent*);
    static const std::map<std::string, Factory> factories = {
        {"TDatabase", &Make<TDatabase>},
        {"TDataSource", &Make<TDataSource>},
        {"TQuery", &Make<TQuery>},
        {"TStringField", &Make<TStringField>},
    };
    const auto it = factories.find(className);
    return it == factories.end() ? nullptr : it->second(owner);
}
