#include "game/actors/ScriptBlock.h"

#include <cstring>

#include "engine/math/Vec4.h"
#include "engine/platform/Log.h"
#include "game/world/ScriptReader.h"

void ReadPosition(ScriptReader& reader, Vec4& position)
{
    position.x = reader.ReadFloat();
    position.z = reader.ReadFloat();
}

void ReadPositionBlock(ScriptReader& reader, Vec4& position, const char* className)
{
    while (const char* token = reader.NextToken()) {
        if (std::strcmp(token, "position") == 0) {
            ReadPosition(reader, position);
        } else {
            ReportUnknownToken(token, className);
        }
    }
}

void ReportUnknownToken(const char* token, const char* className)
{
    Log::Print(2, "erro de parsing: %s n\xE3o \xE9 um token reconhecido na classe %s\n", token, className);
}
