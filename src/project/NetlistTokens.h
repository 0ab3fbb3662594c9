#pragma once
// The netlist's fields as the project loader stores them for the import: a field ends at a
// comma or a line end and loses the blanks around it; a field that starts with a double quote
// runs to the closing quote (quotes dropped, the rest up to the next comma or line end
// skipped). Fields are taken only after the one whose first nine characters are "(netlist ",
// which is dropped; the last field of the file is never stored; at most `limit` are stored.
#include <QByteArray>
#include <QString>
#include <vector>

struct NetlistTokens {
    std::vector<QString> tokens;
    bool overflow = false;   // the file held more fields than the limit

    static NetlistTokens parse(const QByteArray &windows1251, int limit);
};
