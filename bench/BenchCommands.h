#pragma once
// A command as the editor leaves it in a cell, for the benchmarks' grids:
// unset operands are -1.
#include "model/Command.h"

#include <memory>

namespace bench {

inline std::shared_ptr<clsCommand> command(const char* key, int column, int row)
{
    auto c = std::make_shared<clsCommand>();
    c->SetKeyText(QString::fromLatin1(key));
    c->x = Integer(column);
    c->y = Integer(row);
    c->Param1Source = -1;
    c->Param1Value = -1;
    c->Param2Source = -1;
    c->Param2Value = -1;
    return c;
}

}  // namespace bench
