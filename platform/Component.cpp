#include "Component.h"

#include "Exceptions.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>

#include <algorithm>

TComponent::TComponent(TComponent* owner) : owner_(owner) {}

TComponent::~TComponent()
{
    DestroyComponents();
    if (clearReference_)
        clearReference_();
}

TComponent* TComponent::FindComponent(const std::string& name) const
{
    const auto it = std::find_if(components_.begin(), components_.end(),
                                 [&](const auto& component) { return component->Name == name; });
    return it == components_.end() ? nullptr : it->get();
}

void TComponent::DestroyComponent(TComponent* component)
{
    const auto it = std::find_if(components_.begin(), components_.end(),
                                 [&](const auto& owned) { return owned.get() == component; });
    if (it == components_.end())
        return;
    // Leave the list first, so that nothing reaches the component while it is being destroyed.
    auto owned = std::move(*it);
    components_.erase(it);
}

void TComponent::DestroyComponents()
{
    while (!components_.empty()) {
        auto newest = std::move(components_.back());
        components_.pop_back();
    }
}

bool TComponent::ReadProperty(const std::string& name, const QJsonValue& value, TComponent&)
{
    if (name != "Name")
        return false;
    Name = value.toString().toStdString();
    return true;
}

void ReadStoredComponents(TComponent& owner, const QString& resource, const std::function<void()>& bind)
{
    QFile file(resource);
    if (!file.open(QIODevice::ReadOnly))
        throw Exception("Stored layout not found: " + resource.toStdString());
    const auto components = QJsonDocument::fromJson(file.readAll()).object().value("components").toArray();
    std::vector<TComponent*> created;
    for (const auto& entry : components) {
        const auto className = entry.toObject().value("class").toString().toStdString();
        auto component = CreateComponentOfClass(className, &owner);
        if (component == nullptr)
            throw Exception("Class " + className + " not found");
        created.push_back(owner.Adopt(std::move(component)));
        created.back()->Name = entry.toObject().value("name").toString().toStdString();
    }
    for (std::size_t i = 0; i < created.size(); ++i) {
        const auto properties = components.at(static_cast<qsizetype>(i)).toObject();
        for (auto it = properties.begin(); it != properties.end(); ++it) {
            const auto name = it.key().toStdString();
            if (name != "class" && name != "name" && !created[i]->ReadProperty(name, it.value(), owner))
                throw Exception("Error reading " + created[i]->Name + "." + name + ": Property does not exist");
        }
    }
    bind();
    for (TComponent* component : created)
        component->Loaded();
}
