#pragma once
// The help subsystem's pictures are compiled into the program; a static library's resources
// have to be registered by a call that the linker keeps.

void EnsureHelpResources();
