// Holds the instance block of an executable as a running instance would, without being one: the block says one
// instance runs while no process bears the executable's name. The desktop test uses it to make a start hand over.
//
//     hold_block EXE_PATH SECONDS
//
// Prints "held" once the block exists with the count 1, then keeps it for SECONDS.

#include <windows.h>

#include <cstdio>
#include <string>

#include "platform/InstanceBlock.h"
#include "platform/win32/Win32Text.h"

int wmain(int argc, wchar_t** argv)
{
    if (argc != 3)
        return 2;
    const auto block = ovin::createInstanceBlock(ovin::win32::narrow(argv[1]));
    block->createOrOpen();
    block->setCount(1);
    std::printf("held\n");
    std::fflush(stdout);
    Sleep(static_cast<DWORD>(std::stoi(argv[2]) * 1000));
    block->close();
    return 0;
}
