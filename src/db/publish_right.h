#pragma once
// The publish right: only the PC named in kaUsr.HsPub writes the web site or sets
// links to its own files.

namespace arbor {

// mode 0 checks silently; mode 1 (web output) claims an unclaimed right and names the
// holder when refused; any other mode (file links) only names the holder.
bool ChkPubPc(int mode);

// Asks, then clears the right so another PC may publish. True when it was cleared; the
// window then shows its file-link menu entries again.
bool ResetPubPc();

}  // namespace arbor
