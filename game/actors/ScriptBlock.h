#pragma once

class ScriptReader;
struct Vec4;

// Reading an actor's block of the level script. Every placeable class knows "position" x z; a
// token a class does not know is reported at level 2 with the class's name and skipped, so an
// unknown keyword's arguments are reported one by one as well.

// Stores "position" x z into position.x and position.z (y stays); the only keyword of the
// classes that read nothing else.
void ReadPositionBlock(ScriptReader& reader, Vec4& position, const char* className);
void ReadPosition(ScriptReader& reader, Vec4& position);
void ReportUnknownToken(const char* token, const char* className);
