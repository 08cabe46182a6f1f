#include "DataSet.h"

#include "Cp936.h"
#include "Database.h"
#include "Odbc.h"

#include <algorithm>

namespace {

constexpr SQLULEN kRowsPerBlock = 64;
constexpr std::size_t kDefaultWidth = 255;
constexpr std::size_t kMaxInitialWidth = 65536;
constexpr std::size_t kBytesPerCharacter = 4; // the most a character takes in UTF-8
constexpr int kMaxReads = 6;

struct ColumnInfo {
    std::string name;
    SQLSMALLINT type = SQL_UNKNOWN_TYPE;
    SQLULEN size = 0;
};

bool IsCharacterType(SQLSMALLINT type)
{
    return type == SQL_CHAR || type == SQL_VARCHAR || type == SQL_WCHAR || type == SQL_WVARCHAR;
}

// The data layer's name for a column type, as its type-mismatch message gives it.
std::string FieldTypeName(SQLSMALLINT type)
{
    switch (type) {
    case SQL_CHAR:
    case SQL_VARCHAR:
    case SQL_WCHAR:
    case SQL_WVARCHAR:
        return "String";
    case SQL_LONGVARCHAR:
    case SQL_WLONGVARCHAR:
        return "Memo";
    case SQL_SMALLINT:
    case SQL_TINYINT:
        return "Smallint";
    case SQL_INTEGER:
        return "Integer";
    case SQL_BIGINT:
        return "Largeint";
    case SQL_DECIMAL:
    case SQL_NUMERIC:
        return "BCD";
    case SQL_REAL:
    case SQL_FLOAT:
    case SQL_DOUBLE:
        return "Float";
    case SQL_BIT:
        return "Boolean";
    case SQL_TYPE_DATE:
    case SQL_DATE:
        return "Date";
    case SQL_TYPE_TIME:
    case SQL_TIME:
        return "Time";
    case SQL_TYPE_TIMESTAMP:
    case SQL_TIMESTAMP:
        return "DateTime";
    case SQL_BINARY:
        return "Bytes";
    case SQL_VARBINARY:
        return "VarBytes";
    case SQL_LONGVARBINARY:
        return "Blob";
    default:
        return "Unknown";
    }
}

std::vector<ColumnInfo> DescribeColumns(const Odbc::Statement& statement)
{
    SQLSMALLINT count = 0;
    statement.Check(SQLNumResultCols(statement.Handle(), &count), "Counting the result columns");
    std::vector<ColumnInfo> columns(static_cast<std::size_t>(count));
    for (SQLUSMALLINT i = 0; i < count; ++i) {
        SQLCHAR name[256] = {};
        SQLSMALLINT nameLength = 0;
        SQLSMALLINT digits = 0;
        SQLSMALLINT nullable = 0;
        statement.Check(SQLDescribeCol(statement.Handle(), i + 1, name, sizeof name, &nameLength, &columns[i].type,
                                       &columns[i].size, &digits, &nullable),
                        "Describing a result column");
        columns[i].name = Cp936::FromDriverText(reinterpret_cast<const char*>(name));
    }
    return columns;
}

std::size_t InitialWidth(const ColumnInfo& column)
{
    if (column.size == 0 || column.size > kMaxInitialWidth)
        return kDefaultWidth;
    return column.size * kBytesPerCharacter;
}

// One pass over the result, in blocks of rows bound to buffers of the given widths. A value longer
// than its buffer widens that column's width; the caller then reads the result again.
struct BlockRead {
    std::vector<Record> records;
    bool truncated = false;
};

BlockRead ReadInBlocks(const Odbc::Statement& statement, const std::vector<SQLUSMALLINT>& columns,
                       std::vector<std::size_t>& widths)
{
    const auto handle = statement.Handle();
    SQLULEN fetched = 0;
    statement.Check(SQLSetStmtAttr(handle, SQL_ATTR_ROW_BIND_TYPE, reinterpret_cast<SQLPOINTER>(SQL_BIND_BY_COLUMN), 0),
                    "Setting column-wise binding");
    statement.Check(SQLSetStmtAttr(handle, SQL_ATTR_ROW_ARRAY_SIZE, reinterpret_cast<SQLPOINTER>(kRowsPerBlock), 0),
                    "Setting the block size");
    statement.Check(SQLSetStmtAttr(handle, SQL_ATTR_ROWS_FETCHED_PTR, &fetched, 0), "Setting the rows-fetched count");

    std::vector<std::vector<char>> buffers(columns.size());
    std::vector<std::vector<SQLLEN>> indicators(columns.size(), std::vector<SQLLEN>(kRowsPerBlock));
    for (std::size_t c = 0; c < columns.size(); ++c) {
        buffers[c].resize(kRowsPerBlock * (widths[c] + 1));
        statement.Check(SQLBindCol(handle, columns[c], SQL_C_CHAR, buffers[c].data(),
                                   static_cast<SQLLEN>(widths[c] + 1), indicators[c].data()),
                        "Binding a result column");
    }

    const auto boundWidths = widths;
    BlockRead read;
    for (;;) {
        const auto result = SQLFetch(handle);
        if (result == SQL_NO_DATA)
            break;
        statement.Check(result, "Fetching rows");
        for (SQLULEN row = 0; row < fetched; ++row) {
            Record record;
            for (std::size_t c = 0; c < columns.size(); ++c) {
                const SQLLEN length = indicators[c][row];
                if (length == SQL_NULL_DATA) {
                    record.emplace_back(std::nullopt);
                    continue;
                }
                if (length == SQL_NO_TOTAL || static_cast<std::size_t>(length) > boundWidths[c]) {
                    read.truncated = true;
                    widths[c] = std::max(
                        {widths[c], boundWidths[c] * 2, length == SQL_NO_TOTAL ? 0 : static_cast<std::size_t>(length)});
                    record.emplace_back(std::nullopt);
                    continue;
                }
                const char* value = buffers[c].data() + row * (boundWidths[c] + 1);
                record.emplace_back(Cp936::FromDriverText(std::string_view(value, static_cast<std::size_t>(length))));
            }
            read.records.push_back(std::move(record));
        }
    }
    return read;
}

} // namespace

TStringField::~TStringField()
{
    SetDataSet(nullptr);
}

void TStringField::SetDataSet(TDataSet* dataSet)
{
    if (dataSet_ != nullptr) {
        auto& fields = dataSet_->persistentFields_;
        fields.erase(std::remove(fields.begin(), fields.end(), this), fields.end());
    }
    dataSet_ = dataSet;
    if (dataSet_ != nullptr)
        dataSet_->persistentFields_.push_back(this);
}

bool TStringField::ReadProperty(const std::string& name, const QJsonValue& value, TComponent& root)
{
    if (name == "DataSet")
        SetDataSet(root.FindComponentOf<TDataSet>(value.toString().toStdString()));
    else if (name == "FieldName")
        FieldName = value.toString().toStdString();
    else if (name == "Size")
        Size = value.toInt();
    else if (name == "FixedChar")
        FixedChar = value.toBool();
    else if (name == "Origin")
        Origin = value.toString().toStdString();
    else
        return TComponent::ReadProperty(name, value, root);
    return true;
}

TDataSet::~TDataSet()
{
    for (TStringField* field : persistentFields_)
        field->dataSet_ = nullptr;
}

void TDataSet::Open()
{
    if (active_)
        return;
    auto result = Execute();
    fieldNames_ = std::move(result.fieldNames);
    records_ = std::move(result.records);
    active_ = true;
    emit notifier_.StateChanged();
}

void TDataSet::Close()
{
    if (!active_)
        return;
    active_ = false;
    fieldNames_.clear();
    records_.clear();
    emit notifier_.StateChanged();
}

int TDataSet::FieldIndex(const std::string& fieldName) const
{
    for (std::size_t i = 0; i < fieldNames_.size(); ++i) {
        if (Cp936::EqualsIgnoringAsciiCase(fieldNames_[i], fieldName))
            return static_cast<int>(i);
    }
    return -1;
}

bool TQuery::ReadProperty(const std::string& name, const QJsonValue& value, TComponent& root)
{
    if (name != "DatabaseName")
        return TDataSet::ReadProperty(name, value, root);
    DatabaseName = value.toString().toStdString();
    return true;
}

TDataSet::Result TQuery::Execute()
{
    const TDatabase* database = Sessions::FindDatabase("Default", DatabaseName);
    if (database == nullptr)
        throw EDatabaseError(Name + ": Database '" + DatabaseName + "' is not open");
    std::vector<SQLUSMALLINT> columns;
    std::vector<std::size_t> widths;
    Result result;
    for (int read = 0; read < kMaxReads; ++read) {
        Odbc::Statement statement(database->Connection());
        auto text = Cp936::ToUtf8(SQL.Text());
        statement.Check(SQLExecDirect(statement.Handle(), reinterpret_cast<SQLCHAR*>(text.data()), SQL_NTS),
                        "Running the statement");
        if (read == 0) {
            const auto described = DescribeColumns(statement);
            if (described.empty())
                throw EDatabaseError(Name + ": The statement returned no result set");
            if (PersistentFields().empty()) {
                for (std::size_t i = 0; i < described.size(); ++i) {
                    columns.push_back(static_cast<SQLUSMALLINT>(i + 1));
                    result.fieldNames.push_back(described[i].name);
                }
            }
            for (const TStringField* field : PersistentFields()) {
                const auto match = std::find_if(described.begin(), described.end(), [&](const ColumnInfo& column) {
                    return Cp936::EqualsIgnoringAsciiCase(column.name, field->FieldName);
                });
                if (match == described.end())
                    throw EDatabaseError(Name + ": Field '" + field->FieldName + "' not found");
                if (!IsCharacterType(match->type))
                    throw EDatabaseError(Name + ": Type mismatch for field '" + field->FieldName +
                                         "', expecting: String actual: " + FieldTypeName(match->type));
                columns.push_back(static_cast<SQLUSMALLINT>(match - described.begin() + 1));
                result.fieldNames.push_back(field->FieldName);
            }
            for (const SQLUSMALLINT column : columns)
                widths.push_back(InitialWidth(described[column - 1]));
        }
        auto block = ReadInBlocks(statement, columns, widths);
        if (!block.truncated) {
            result.records = std::move(block.records);
            return result;
        }
    }
    throw EDatabaseError(Name + ": A value of the result could not be read whole");
}

bool TDataSource::ReadProperty(const std::string& name, const QJsonValue& value, TComponent& root)
{
    if (name == "DataSet")
        DataSet = root.FindComponentOf<TDataSet>(value.toString().toStdString());
    else if (name == "AutoEdit")
        AutoEdit = value.toBool();
    else
        return TComponent::ReadProperty(name, value, root);
    return true;
}
