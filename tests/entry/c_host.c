/* A host written in C: loads the library with dlopen and makes the calls a careless host makes
   (null pointers, texts that are no numbers, a database that does not exist). None of them may
   abort the process; each must leave its message for QOpUltimoErrorW. Exit code 0: all held. */

#include "QAcSemafApi.h"

#include <dlfcn.h>
#include <stdio.h>
#include <string.h>

static int failures = 0;

/* dlsym hands out an object pointer; POSIX lets it be copied into a function pointer. */
#define RESOLVE(library, pointer, name) (*(void **)(&(pointer)) = dlsym((library), (name)))

/* The last message as ASCII (the expected parts are ASCII); non-ASCII becomes '?'. */
static void lastError(void *library, char *out, size_t size)
{
    void (*errorW)(QAcUtf16Text *) = NULL;
    RESOLVE(library, errorW, "QOpUltimoErrorW");
    QAcUtf16Text text = NULL;
    size_t i = 0;
    errorW(&text);
    for (; text && text[i] && i + 1 < size; ++i)
        out[i] = text[i] < 128 ? (char)text[i] : '?';
    out[i] = '\0';
}

static void expect(void *library, const char *what, const char *part)
{
    char message[512];
    lastError(library, message, sizeof message);
    if (strstr(message, part) == NULL) {
        fprintf(stderr, "FAIL %s: message \"%s\" lacks \"%s\"\n", what, message, part);
        ++failures;
    } else {
        printf("ok   %s: %s\n", what, message);
    }
}

int main(void)
{
    void *library = dlopen(QACSEMAF_LIBRARY, RTLD_NOW);
    if (!library) {
        fprintf(stderr, "dlopen: %s\n", dlerror());
        return 2;
    }
    void (*sizeW)(QAcUtf16Text, QAcUtf16Text) = NULL;
    void (*guidW)(QAcUtf16Text *) = NULL;
    QAcWindowHandle (*loadW)(int32_t, QAcUtf16Text, QAcUtf16Text, QAcUtf16Text, QAcUtf16Text, QAcUtf16Text,
                             QAcUtf16Text, QAcUtf16Text, QAcUtf16Text) = NULL;
    void (*unload)(void) = NULL;
    RESOLVE(library, sizeW, "CambiarTamanoW");
    RESOLVE(library, guidW, "getServerGuidNetW");
    RESOLVE(library, loadW, "QOpLoadDllW");
    RESOLVE(library, unload, "QOpUnLoadDll");
    if (!sizeW || !guidW || !loadW || !unload) {
        fprintf(stderr, "missing entry point\n");
        return 2;
    }

    sizeW(u"12x", u"5");
    expect(library, "text that is no number", "'12x' no es un valor entero v");
    sizeW(NULL, u"5");
    expect(library, "null width", "puntero nulo");
    guidW(NULL);
    expect(library, "null out argument", "puntero nulo");
    if (loadW(0, u"local", NULL, u"", u"ADMIN", u"ADMIN", u"1", u"", u"1;2") != 0) {
        fprintf(stderr, "FAIL null alias: the load succeeded\n");
        ++failures;
    }
    expect(library, "null alias", "puntero nulo");
    if (loadW(0, u"local", u"/no/such/folder/semaforo.db", u"", u"ADMIN", u"ADMIN", u"1", u"", u"1;2") != 0) {
        fprintf(stderr, "FAIL missing database: the load succeeded\n");
        ++failures;
    }
    expect(library, "missing database", "No existe la base de datos");
    unload();
    dlclose(library);
    return failures == 0 ? 0 : 1;
}
