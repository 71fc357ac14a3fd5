// The error every operation of the database layer throws: a plain message
// that the programs show as it is (a refused write, a damaged file, a lost
// server connection, a value that does not fit its field).
#pragma once

#include <QString>
#include <stdexcept>

namespace quen {

class DbError : public std::runtime_error {
public:
    explicit DbError(const QString& message);
    QString message() const;
};

} // namespace quen
