#pragma once

#include <QJsonObject>

#include <functional>
#include <memory>
#include <string>
#include <vector>

// The root of the program's own objects; event handlers take the object that raised the event.
class TObject {
public:
    virtual ~TObject() = default;
};

// An object that may own others. Owned components are destroyed with their owner, newest first, and a
// component destroyed on its own leaves its owner's list.
class TComponent : public TObject {
public:
    explicit TComponent(TComponent* owner);
    ~TComponent() override;
    TComponent(const TComponent&) = delete;
    TComponent& operator=(const TComponent&) = delete;

    std::string Name;

    TComponent* Owner() const { return owner_; }
    std::size_t ComponentCount() const { return components_.size(); }
    TComponent* FindComponent(const std::string& name) const;
    template <typename T> T* FindComponentOf(const std::string& name) const
    {
        return dynamic_cast<T*>(FindComponent(name));
    }

    // Takes ownership of a component that names this object as its owner.
    template <typename T> T* Adopt(std::unique_ptr<T> component)
    {
        T* raw = component.get();
        components_.push_back(std::move(component));
        return raw;
    }
    // Destroys one owned component at once.
    void DestroyComponent(TComponent* component);
    // Destroys every owned component, newest first.
    void DestroyComponents();

    // A variable that refers to this component; it is emptied when the component is destroyed.
    template <typename T> void SetReference(T*& reference)
    {
        clearReference_ = [&reference, target = reference] {
            if (reference == target)
                reference = nullptr;
        };
    }

    // Sets one stored property; false when the component has no property of that name.
    virtual bool ReadProperty(const std::string& name, const QJsonValue& value, TComponent& root);
    // Called once the owner's whole stored layout has been read.
    virtual void Loaded() {}

private:
    TComponent* owner_;
    std::vector<std::unique_ptr<TComponent>> components_;
    std::function<void()> clearReference_;
};

// Reads the non-visual components of a stored layout (a JSON resource) into their owner: each is
// created, then every property is set (so that references between them resolve), then the owner
// binds its members and event handlers, and only then is each component told that the layout has
// been loaded, so that none acts on its properties before the owner is ready.
void ReadStoredComponents(TComponent& owner, const QString& resource, const std::function<void()>& bind);

// A new component of a class that stored layouts may name; empty for an unknown class.
std::unique_ptr<TComponent> CreateComponentOfClass(const std::string& className, TComponent* owner);
