// AshtintCreator2: the console engine.
#include "common/exit_codes.h"
#include "engine/command_line_reader.h"
#include "engine/engine_run.h"
#include "platform/command_line.h"
#include "platform/console.h"
#include "platform/executable_path.h"

int main(int argc, char** argv) {
  ashtint::KeepRunningWhenOutputCloses();
  ashtint::InitCommandLine(argc, argv);
  ashtint::SetProcessCommandLine(ashtint::RawCommandLine());
  ashtint::TEngineRun run(ashtint::ExecutableFolder());
  return ashtint::ToProcessExitStatus(run.Run(argc > 1));
}
