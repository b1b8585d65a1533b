#include "code_page_table.h"

const CCodePageTable& CCodePageTable::Baltic()
{
    static const CCodePageTable table(1257);
    return table;
}

const CCodePageTable& CCodePageTable::Western()
{
    static const CCodePageTable table(1252);
    return table;
}
