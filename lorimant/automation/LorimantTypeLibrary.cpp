#include "lorimant/automation/LorimantTypeLibrary.h"

#include <string>
#include <unordered_map>

#include "platform/ole/CDispatchTable.h"

namespace {

const std::unordered_map<std::wstring, LONG>& constants()
{
#define LORIMANT_CONSTANT_ROW(name, value) {DispatchFoldName(L"" #name), value},
    static const std::unordered_map<std::wstring, LONG> table = {
        LORIMANT_QHT_ELEMENTTYPE(LORIMANT_CONSTANT_ROW)
        LORIMANT_QHT_RESULT(LORIMANT_CONSTANT_ROW)
        LORIMANT_QHT_EXTREME_RESULT(LORIMANT_CONSTANT_ROW)
        LORIMANT_QHT_UNITSYSTEM(LORIMANT_CONSTANT_ROW)
        LORIMANT_QHT_BENDINGANALYSIS(LORIMANT_CONSTANT_ROW)
        LORIMANT_QHT_MATERIALPROPERTY(LORIMANT_CONSTANT_ROW)
        LORIMANT_SECTIONANALYSISVALUE(LORIMANT_CONSTANT_ROW)
    };
#undef LORIMANT_CONSTANT_ROW
    return table;
}

}  // namespace

bool TypeLibraryConstant(const CString& name, LONG* value)
{
    const auto it = constants().find(DispatchFoldName(name.GetString()));
    if (it == constants().end()) return false;
    *value = it->second;
    return true;
}
