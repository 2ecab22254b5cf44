// AshtintCreator2: the console engine.
#include <cstdio>
#include <cstdlib>

#include "common/exit_codes.h"
#include "common/interrupt_cleanup.h"
#include "engine/command_line_reader.h"
#include "engine/engine_run.h"
#include "platform/command_line.h"
#include "platform/console.h"
#include "platform/executable_path.h"
#include "platform/interrupt.h"

int main(int argc, char** argv) {
  ashtint::KeepRunningWhenOutputCloses();
  ashtint::WriteOutputUnchanged();
  // An interrupted run takes its temporary files with it; before any other thread starts.
  ashtint::WatchInterrupts([](int sig) {
    ashtint::RemoveRegisteredPaths();
    std::fputs("\r\n  ! Interrupted: temporary files removed\r\n", stderr);
    std::_Exit(128 + (sig & 0x7F));
  });
  ashtint::InitCommandLine(argc, argv);
  ashtint::SetProcessCommandLine(ashtint::RawCommandLine());
  ashtint::TEngineRun run(ashtint::ExecutableFolder());
  return ashtint::ToProcessExitStatus(run.Run(argc > 1));
}
