// The console's end of the terminal (or of whatever stdin and stdout are):
// line input that a signal can interrupt, a wait the worker can end, and the
// signals SIGINT, SIGTERM and SIGHUP turned into events through a self-pipe,
// so that no work is ever done inside a signal handler.
#pragma once
#include <string>

namespace console {

class Terminal {
  public:
    enum class Read {
        kLine,         // a line (without its line feed), possibly empty
        kEnd,          // end of input, or stdin is unusable
        kInterrupted,  // a signal arrived before a whole line
    };

    // Installs the signal handlers and makes the pipes; the destructor puts
    // the earlier handlers back. One Terminal at a time.
    Terminal();
    ~Terminal();
    Terminal(const Terminal&) = delete;
    Terminal& operator=(const Terminal&) = delete;

    // Reads one line from stdin.
    Read ReadLine(std::string& line);
    // Waits until Wake is called, a signal arrives or `milliseconds` pass.
    void Wait(int milliseconds);
    // Thread-safe: ends a Wait soon (or the next one at once).
    void Wake();
    // The last signal seen (SIGINT, SIGTERM, SIGHUP) and clears it; 0 if none.
    int TakeSignal();
    // Another descriptor whose readability interrupts ReadLine (as
    // kInterrupted, TakeSignal then 0) and ends a Wait; it is never read
    // here. -1: none.
    void SetInterruptFd(int fd) { interruptFd_ = fd; }

    bool OutputIsTerminal() const { return outputIsTerminal_; }
    // False for piped or redirected input, which the terminal does not echo.
    bool InputIsTerminal() const { return inputIsTerminal_; }
    // Columns of the output terminal (80 when unknown).
    int Columns() const;

    static void Out(const std::string& text);
    static void Err(const std::string& text);

  private:
    // Reads what the handlers wrote; remembers the signal.
    void DrainSignals();
    void DrainWake();

    bool outputIsTerminal_ = false;
    bool inputIsTerminal_ = false;
    int wakePipe_[2] = {-1, -1};
    int pendingSignal_ = 0;
    int interruptFd_ = -1;
};

}  // namespace console
