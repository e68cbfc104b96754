// x87 precision control: long double arithmetic needs the 64-bit significand.
#pragma once

namespace platform {

// Sets the calling thread's x87 precision control to 64 bits. Windows starts
// threads (CreateThread, _beginthreadex) at 53 bits; the MinGW start-up code
// raises it only for the main thread. Every thread that computes in long
// double calls this first. Does nothing on other processors.
void useExtendedPrecision();

// True when long double arithmetic on the calling thread keeps 64 bits.
bool hasExtendedPrecision();

}  // namespace platform
