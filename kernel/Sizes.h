// Fixed sizes of the kernel's storage.  Arrays are 1-based where the model
// is: element 0 is unused, so an array of n model elements has n + 1 places.
#pragma once

namespace kirmel {

constexpr int MXFB = 25;                     // front-buffer nodes
constexpr int MXDIT = 500;                   // water-body nodes
constexpr int MXEB = 25;                     // end-buffer nodes
constexpr int MXNODE = MXFB + MXDIT + MXEB;  // water-layer nodes: 550
constexpr int MZSED = 50;                    // sediment layers
constexpr int MZBB = 10;                     // lower-buffer layers
constexpr int MZNODE = MZSED + MZBB;         // sediment nodes: 60
constexpr int MSUB = 9;                      // selected sediment subsystems
// Row length of the per-subsystem arrays of sediment nodes (1 .. MZNODE, 0
// unused), padded so that each row fills whole cache lines of 64 bytes:
// columns stepped on different threads then never write the same line.
constexpr int MZROW = (MZNODE + 1 + 15) / 16 * 16;
constexpr int MLOAD = 1000;                  // entries per loading route

}  // namespace kirmel
