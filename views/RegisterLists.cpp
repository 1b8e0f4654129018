#include "views/RegisterLists.h"

#include "views/RegisterListView.h"

void TRegisterLists::Add(TRegisterListView& list)
{
    lists_.push_back(&list);
}

void TRegisterLists::ShowRegisters(const TRegisterFile& registers, std::uint8_t current)
{
    for (TRegisterListView* list : lists_)
        list->ShowRegisters(registers, current);
}

void TRegisterLists::BeginRun(const TRegisterFile& start)
{
    for (TRegisterListView* list : lists_)
        list->BeginRun(start);
}
