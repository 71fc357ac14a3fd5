// THourglass: shows the hourglass (wait) pointer for the life of the object
// and always restores the previous pointer, also when an exception leaves
// the scope.   { THourglass wait; buildReport(); }
#pragma once

#include <QApplication>
#include <QCursor>

namespace quen {

class THourglass {
public:
    THourglass() { QApplication::setOverrideCursor(QCursor(Qt::WaitCursor)); }
    ~THourglass() { if (m_active) QApplication::restoreOverrideCursor(); }
    // Restores the pointer before the end of the scope (e.g. before a
    // modal dialog); the destructor then does nothing.
    void restore()
    {
        if (m_active) QApplication::restoreOverrideCursor();
        m_active = false;
    }
    THourglass(const THourglass&) = delete;
    THourglass& operator=(const THourglass&) = delete;

private:
    bool m_active = true;
};

} // namespace quen
