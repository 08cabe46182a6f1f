#pragma once

#include "Component.h"
#include "Strings.h"

#include <QObject>

#include <optional>
#include <string>
#include <vector>

class TDataSet;

// Tells data-aware controls that a data set has opened or closed.
class DataSetNotifier : public QObject {
    Q_OBJECT

signals:
    void StateChanged();
};

// A persistent field of a data set: bound by name to the result column when the data set opens.
class TStringField : public TComponent {
public:
    using TComponent::TComponent;
    ~TStringField() override;

    std::string FieldName;
    int Size = 20;
    bool FixedChar = false;
    std::string Origin;

    TDataSet* DataSet() const { return dataSet_; }
    void SetDataSet(TDataSet* dataSet);

    bool ReadProperty(const std::string& name, const QJsonValue& value, TComponent& root) override;

private:
    friend class TDataSet;
    TDataSet* dataSet_ = nullptr;
};

// A read-only result held whole in memory: each value as code page 936 text, or empty for NULL.
using FieldValue = std::optional<std::string>;
using Record = std::vector<FieldValue>;

class TDataSet : public TComponent {
public:
    using TComponent::TComponent;
    ~TDataSet() override;

    bool Active() const { return active_; }
    // True when the open result has no rows.
    bool Eof() const { return records_.empty(); }
    void Open();
    // Ends the result; closing a closed data set does nothing.
    void Close();

    // The fields: the persistent ones, or, without any, one for each result column.
    const std::vector<std::string>& FieldNames() const { return fieldNames_; }
    int FieldIndex(const std::string& fieldName) const;
    const std::vector<Record>& Records() const { return records_; }
    const std::vector<TStringField*>& PersistentFields() const { return persistentFields_; }

    DataSetNotifier* Notifier() { return &notifier_; }

protected:
    struct Result {
        std::vector<std::string> fieldNames;
        std::vector<Record> records;
    };
    virtual Result Execute() = 0;

private:
    friend class TStringField;
    std::vector<TStringField*> persistentFields_;
    std::vector<std::string> fieldNames_;
    std::vector<Record> records_;
    bool active_ = false;
    DataSetNotifier notifier_;
};

// A statement run on the database that the default session holds under DatabaseName. The result is
// read whole, in blocks of rows, and the statement released, so no cursor stays open afterwards.
class TQuery : public TDataSet {
public:
    using TDataSet::TDataSet;

    std::string DatabaseName;
    TStrings SQL;

    bool ReadProperty(const std::string& name, const QJsonValue& value, TComponent& root) override;

protected:
    Result Execute() override;
};

// Connects data-aware controls to a data set.
class TDataSource : public TComponent {
public:
    using TComponent::TComponent;

    TDataSet* DataSet = nullptr;
    bool AutoEdit = true;

    bool ReadProperty(const std::string& name, const QJsonValue& value, TComponent& root) override;
};
