#pragma once

// One entry point per harntool subcommand: arguments after the subcommand's name, exit status back.
int RunScriptCommand(int argc, char** argv);
int RunQzrCommand(int argc, char** argv);
