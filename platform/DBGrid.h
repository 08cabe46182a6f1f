#pragma once

#include "DataSet.h"

#include <QAbstractTableModel>
#include <QPointer>
#include <QTableView>

// The rows of a data set as a read-only table with fixed columns, each finding its field by name.
class DataSetModel : public QAbstractTableModel {
    Q_OBJECT

public:
    struct Column {
        std::string fieldName;
        QString title;
        Qt::Alignment titleAlignment = Qt::AlignLeft | Qt::AlignVCenter;
    };

    explicit DataSetModel(QObject* parent = nullptr);

    void SetColumns(std::vector<Column> columns);
    void SetDataSet(TDataSet* dataSet);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    void Reload();
    const TDataSet* ActiveDataSet() const;

    std::vector<Column> columns_;
    std::vector<int> fieldIndexes_;
    TDataSet* dataSet_ = nullptr;
    QPointer<DataSetNotifier> notifier_;
};

// A read-only data grid with a title row and a record-indicator column. Its stored layout keeps, as
// dynamic properties, the name of its data source ("DataSource") and its columns ("ColumnFields",
// "ColumnTitles", "ColumnWidths", "ColumnTitleAlignments": left, center or right).
class TDBGrid : public QTableView {
    Q_OBJECT

public:
    explicit TDBGrid(QWidget* parent = nullptr);

    // Finds the data source named in the layout among the owner's components.
    void LinkDataSource(const TComponent& owner);
    DataSetModel* Model() const { return model_; }

private:
    DataSetModel* model_;
};
