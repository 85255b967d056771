#pragma once

// One entry point per harntool subcommand: arguments after the subcommand's name, exit status back.
int RunScriptCommand(int argc, char** argv);
int RunThreeDfCommand(int argc, char** argv);
int RunDeviceTestCommand(int argc, char** argv);
int RunViewCommand(int argc, char** argv);
int RunQzrCommand(int argc, char** argv);
int RunImportCommand(int argc, char** argv);
int RunMusicCommand(int argc, char** argv);
int RunPlayCommand(int argc, char** argv);
