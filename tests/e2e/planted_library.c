/* A library planted where the program must not look for libraries: when anything loads it, its
   start-up code leaves a file named "planted-library-ran" in the current folder. */
#include <fcntl.h>
#include <unistd.h>

__attribute__((constructor)) static void Planted(void) {
    int fd = open("planted-library-ran", O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd >= 0) {
        close(fd);
    }
}
