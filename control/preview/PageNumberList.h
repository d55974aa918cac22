#pragma once

#include <QAbstractListModel>
#include <QString>

#include <cstdint>

class QComboBox;

namespace palvex {

// The entries of a page list ("Page 1", "Page 2", … or bare numbers), made when a view asks for
// them. A report of ten thousand pages would otherwise hold ten thousand items in every list
// that names its pages; this holds three numbers.
class PageNumberList : public QAbstractListModel {
public:
    explicit PageNumberList(QObject* parent = nullptr);

    // Lists `count` pages numbered from `first`, each entry `caption` followed by its number.
    void show(const QString& caption, int32_t first, int32_t count);
    void clear() { show(QString(), 1, 0); }
    // The same pages under another caption; the list keeps its selection.
    void setCaption(const QString& caption);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

    // Gives a combo box this list as its entries.
    static PageNumberList* attachTo(QComboBox* combo);

private:
    QString m_caption;
    int32_t m_first = 1;
    int32_t m_count = 0;
};

} // namespace palvex
