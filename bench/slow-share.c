// A read-only mirror of a folder whose every folder listing first waits a set
// time, with at most a set number of listings served at once: a file share
// seen over a network, with its round-trip time and its server's request
// window.
//
//   slow-share SOURCE MOUNTPOINT [--wait-ms 2] [--window 64] [-f] [-o max_threads=N,max_idle_threads=N]
//
// Runs until unmounted (fusermount3 -u MOUNTPOINT). Give it more threads than
// the window: libfuse serves each request on a thread of its own, and without
// max_threads it keeps about ten, which would be the limit instead.
#define FUSE_USE_VERSION 31
#define _GNU_SOURCE

#include <dirent.h>
#include <errno.h>
#include <fcntl.h>
#include <fuse.h>
#include <limits.h>
#include <semaphore.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

static char source[PATH_MAX];
static struct timespec wait_time;
static sem_t window;  // listings being served

static int real_path(const char* path, char* out) {
  int n = snprintf(out, PATH_MAX, "%s%s", source, path);
  return n < 0 || n >= PATH_MAX ? -ENAMETOOLONG : 0;
}

// One listing's round trip: it takes a place in the window for the wait.
static void wait_for_listing(void) {
  while (sem_wait(&window) != 0) {
  }
  struct timespec left = wait_time;
  while (nanosleep(&left, &left) != 0 && errno == EINTR) {
  }
  sem_post(&window);
}

static void* share_init(struct fuse_conn_info* conn, struct fuse_config* cfg) {
  (void)conn;
  // A client keeps names and attributes for a while; only listings go out.
  cfg->entry_timeout = 60;
  cfg->attr_timeout = 60;
  cfg->negative_timeout = 60;
  return NULL;
}

static int share_getattr(const char* path, struct stat* st, struct fuse_file_info* fi) {
  (void)fi;
  char real[PATH_MAX];
  int problem = real_path(path, real);
  if (problem != 0) return problem;
  return lstat(real, st) == 0 ? 0 : -errno;
}

static int share_opendir(const char* path, struct fuse_file_info* fi) {
  char real[PATH_MAX];
  int problem = real_path(path, real);
  if (problem != 0) return problem;
  wait_for_listing();
  DIR* dir = opendir(real);
  if (dir == NULL) return -errno;
  fi->fh = (uint64_t)(uintptr_t)dir;
  return 0;
}

static int share_readdir(const char* path, void* buf, fuse_fill_dir_t fill, off_t offset, struct fuse_file_info* fi,
                         enum fuse_readdir_flags flags) {
  (void)path;
  (void)offset;
  (void)flags;
  DIR* dir = (DIR*)(uintptr_t)fi->fh;
  rewinddir(dir);
  // With each entry's type, as a share's listing gives it: no lookup per file.
  for (struct dirent* entry; (errno = 0, entry = readdir(dir)) != NULL;) {
    struct stat st;
    memset(&st, 0, sizeof st);
    st.st_ino = entry->d_ino;
    st.st_mode = (mode_t)DTTOIF(entry->d_type);
    if (fill(buf, entry->d_name, &st, 0, 0) != 0) break;
  }
  return errno != 0 ? -errno : 0;
}

static int share_releasedir(const char* path, struct fuse_file_info* fi) {
  (void)path;
  closedir((DIR*)(uintptr_t)fi->fh);
  return 0;
}

static int share_readlink(const char* path, char* buf, size_t size) {
  char real[PATH_MAX];
  int problem = real_path(path, real);
  if (problem != 0) return problem;
  ssize_t n = readlink(real, buf, size - 1);
  if (n < 0) return -errno;
  buf[n] = '\0';
  return 0;
}

static int share_open(const char* path, struct fuse_file_info* fi) {
  if ((fi->flags & O_ACCMODE) != O_RDONLY) return -EROFS;
  char real[PATH_MAX];
  int problem = real_path(path, real);
  if (problem != 0) return problem;
  int fd = open(real, O_RDONLY);
  if (fd < 0) return -errno;
  fi->fh = (uint64_t)fd;
  return 0;
}

static int share_read(const char* path, char* buf, size_t size, off_t offset, struct fuse_file_info* fi) {
  (void)path;
  ssize_t n = pread((int)fi->fh, buf, size, offset);
  return n < 0 ? -errno : (int)n;
}

static int share_release(const char* path, struct fuse_file_info* fi) {
  (void)path;
  close((int)fi->fh);
  return 0;
}

static const struct fuse_operations operations = {
    .init = share_init,
    .getattr = share_getattr,
    .opendir = share_opendir,
    .readdir = share_readdir,
    .releasedir = share_releasedir,
    .readlink = share_readlink,
    .open = share_open,
    .read = share_read,
    .release = share_release,
};

static int usage(void) {
  fprintf(stderr,
          "usage: slow-share SOURCE MOUNTPOINT [--wait-ms MS] [--window N] [-f] "
          "[-o max_threads=N,max_idle_threads=N]\n");
  return 2;
}

int main(int argc, char* argv[]) {
  double wait_ms = 2.0;
  long window_size = 64;
  // Our own options out; SOURCE out; the rest goes to libfuse.
  char** fuse_argv = calloc((size_t)argc + 2, sizeof *fuse_argv);
  if (fuse_argv == NULL) return 1;
  int fuse_argc = 0;
  fuse_argv[fuse_argc++] = argv[0];
  // Read only: the mirror never changes its source.
  fuse_argv[fuse_argc++] = "-oro";
  const char* source_arg = NULL;
  for (int i = 1; i < argc; ++i) {
    char* end = NULL;
    if (strcmp(argv[i], "--wait-ms") == 0 && i + 1 < argc) {
      wait_ms = strtod(argv[++i], &end);
      if (*end != '\0' || wait_ms < 0) return usage();
    } else if (strcmp(argv[i], "--window") == 0 && i + 1 < argc) {
      window_size = strtol(argv[++i], &end, 10);
      if (*end != '\0' || window_size < 1) return usage();
    } else if (source_arg == NULL && argv[i][0] != '-') {
      source_arg = argv[i];
    } else {
      fuse_argv[fuse_argc++] = argv[i];
    }
  }
  if (source_arg == NULL || realpath(source_arg, source) == NULL) return usage();
  if (strcmp(source, "/") == 0) source[0] = '\0';
  wait_time.tv_sec = (time_t)(wait_ms / 1000.0);
  wait_time.tv_nsec = (long)((wait_ms - (double)wait_time.tv_sec * 1000.0) * 1e6);
  if (sem_init(&window, 0, (unsigned)window_size) != 0) {
    perror("slow-share: sem_init");
    return 1;
  }
  int status = fuse_main(fuse_argc, fuse_argv, &operations, NULL);
  free(fuse_argv);
  return status;
}
