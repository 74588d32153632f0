// The termination signals (SIGTERM, SIGINT, SIGHUP) as bytes on a pipe: the
// handler only writes the signal's number, and the user-interface thread
// reads it in its event loop and acts there, never inside the handler.
#pragma once

namespace wizard {

class SignalPipe {
  public:
    SignalPipe() = default;
    SignalPipe(const SignalPipe&) = delete;
    SignalPipe& operator=(const SignalPipe&) = delete;
    // Puts the earlier handlers back.
    ~SignalPipe() { Uninstall(); }

    // Makes the pipe (once) and points the three signals at it. False when
    // no pipe can be made; the signals then keep their earlier handlers.
    bool Install();
    // Puts the handlers back as they were before Install.
    void Uninstall();
    // The read end to watch for readability; -1 before Install.
    int ReadFd() const { return readFd_; }
    // The number of the first signal that arrived since the last call, or 0;
    // empties the pipe.
    int Take();

  private:
    int readFd_ = -1;
    bool installed_ = false;
};

}  // namespace wizard
