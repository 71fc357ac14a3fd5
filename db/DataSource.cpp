#include "DataSource.h"

namespace quen {

void TDataSource::setDataSet(TTable* table)
{
    if (m_table == table)
        return;
    for (auto* c : {&m_c1, &m_c2, &m_c3, &m_c4, &m_c5}) {
        QObject::disconnect(*c);
        *c = {};
    }
    m_table = table;
    if (table) {
        m_c1 = connect(table, &TTable::afterScroll, this, &TDataSource::recordChanged);
        m_c2 = connect(table, &TTable::stateChanged, this, &TDataSource::stateChanged);
        m_c3 = connect(table, &TTable::dataChanged, this, &TDataSource::fieldChanged);
        m_c4 = connect(table, &TTable::afterPost, this, &TDataSource::recordChanged);
        m_c5 = connect(table, &TTable::afterDelete, this, &TDataSource::recordChanged);
    }
    emit dataSetChanged();
}

bool TDataSource::ensureEditing()
{
    if (!m_table || !m_table->isOpen())
        return false;
    TTable::State s = m_table->state();
    if (s == TTable::State::Edit || s == TTable::State::Insert)
        return true;
    if (!m_autoEdit)
        return false;
    m_table->edit();
    s = m_table->state();
    return s == TTable::State::Edit || s == TTable::State::Insert;
}

} // namespace quen
