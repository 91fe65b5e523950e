// The subcommands of kavirel-cli. Each returns the process exit code.
#pragma once

int RunInfo(int argc, char** argv);
int RunOverview(int argc, char** argv);
int RunNote(int argc, char** argv);
int RunTime(int argc, char** argv);
int RunPlay(int argc, char** argv);
int RunSpectrum(int argc, char** argv);
int RunEnvelope(int argc, char** argv);
int RunSonagram(int argc, char** argv);
