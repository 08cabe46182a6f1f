#include "DBGrid.h"

#include "Cp936.h"

#include <QHeaderView>

namespace {

constexpr int kIndicatorWidth = 11;

Qt::Alignment TitleAlignment(const QString& name)
{
    if (name == "center")
        return Qt::AlignCenter;
    if (name == "right")
        return Qt::AlignRight | Qt::AlignVCenter;
    return Qt::AlignLeft | Qt::AlignVCenter;
}

} // namespace

DataSetModel::DataSetModel(QObject* parent) : QAbstractTableModel(parent) {}

void DataSetModel::SetColumns(std::vector<Column> columns)
{
    beginResetModel();
    columns_ = std::move(columns);
    endResetModel();
    Reload();
}

void DataSetModel::SetDataSet(TDataSet* dataSet)
{
    if (notifier_)
        disconnect(notifier_, nullptr, this, nullptr);
    dataSet_ = dataSet;
    notifier_ = dataSet != nullptr ? dataSet->Notifier() : nullptr;
    if (notifier_)
        connect(notifier_, &DataSetNotifier::StateChanged, this, &DataSetModel::Reload);
    Reload();
}

const TDataSet* DataSetModel::ActiveDataSet() const
{
    return notifier_ && dataSet_->Active() ? dataSet_ : nullptr;
}

void DataSetModel::Reload()
{
    beginResetModel();
    fieldIndexes_.clear();
    if (const TDataSet* dataSet = ActiveDataSet()) {
        for (const auto& column : columns_)
            fieldIndexes_.push_back(dataSet->FieldIndex(column.fieldName));
    }
    endResetModel();
}

int DataSetModel::rowCount(const QModelIndex& parent) const
{
    const TDataSet* dataSet = ActiveDataSet();
    return parent.isValid() || dataSet == nullptr ? 0 : static_cast<int>(dataSet->Records().size());
}

int DataSetModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(columns_.size());
}

QVariant DataSetModel::data(const QModelIndex& index, int role) const
{
    const TDataSet* dataSet = ActiveDataSet();
    if (role != Qt::DisplayRole || dataSet == nullptr || !checkIndex(index, CheckIndexOption::IndexIsValid))
        return {};
    const int field = fieldIndexes_.at(static_cast<std::size_t>(index.column()));
    if (field < 0)
        return {};
    const auto& value =
        dataSet->Records().at(static_cast<std::size_t>(index.row())).at(static_cast<std::size_t>(field));
    return value ? Cp936::ToUnicode(*value) : QString();
}

QVariant DataSetModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Vertical)
        return role == Qt::DisplayRole ? QVariant(QString()) : QVariant();
    if (section < 0 || section >= columnCount())
        return {};
    const auto& column = columns_[static_cast<std::size_t>(section)];
    if (role == Qt::DisplayRole)
        return column.title;
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(column.titleAlignment);
    return {};
}

Qt::ItemFlags DataSetModel::flags(const QModelIndex& index) const
{
    return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
}

TDBGrid::TDBGrid(QWidget* parent) : QTableView(parent), model_(new DataSetModel(this))
{
    setModel(model_);
    setEditTriggers(NoEditTriggers);
    setSelectionBehavior(SelectRows);
    setSelectionMode(SingleSelection);
    setShowGrid(true);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    horizontalHeader()->setHighlightSections(false);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setFixedWidth(kIndicatorWidth);
}

void TDBGrid::LinkDataSource(const TComponent& owner)
{
    const auto fields = property("ColumnFields").toStringList();
    const auto titles = property("ColumnTitles").toStringList();
    const auto widths = property("ColumnWidths").toStringList();
    const auto alignments = property("ColumnTitleAlignments").toStringList();
    std::vector<DataSetModel::Column> columns;
    for (qsizetype i = 0; i < fields.size(); ++i)
        columns.push_back({fields[i].toStdString(), titles.value(i), TitleAlignment(alignments.value(i))});
    model_->SetColumns(std::move(columns));
    for (qsizetype i = 0; i < widths.size(); ++i)
        setColumnWidth(static_cast<int>(i), widths[i].toInt());
    const auto* source = owner.FindComponentOf<TDataSource>(property("DataSource").toString().toStdString());
    model_->SetDataSet(source != nullptr ? source->DataSet : nullptr);
}
