// The log that the core writes to, for the test programs. Each test process
// writes a log of its own, so that tests run side by side never read or
// truncate each other's lines; it is removed when the process ends, after
// the log itself has been closed.
#include <cstdio>
#include <fstream>
#include <string>

#ifdef _WIN32
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace {

struct log_di_prova {
    std::string nome;
    log_di_prova() {
#ifdef _WIN32
        unsigned long pid = GetCurrentProcessId();
#else
        unsigned long pid = static_cast<unsigned long>(getpid());
#endif
        nome = "voran32-prova-" + std::to_string(pid) + ".log";
    }
    ~log_di_prova() { std::remove(nome.c_str()); }
};

// Defined before the log, so destroyed after it.
log_di_prova G_log;

}  // namespace

std::ofstream logfile(G_log.nome);

const char* nome_log_prova() { return G_log.nome.c_str(); }
