/* POSIX iconv over ICU's converters, for the libraries that need one where
   mingw-w64 has none (freexl: a code page or UTF-16LE to UTF-8). ICU's alias
   table gives the names ("CP936", "UTF-16LE", "MacRoman"). Each call converts
   the whole input it is given, as those callers hand over one whole text at a
   time: no shift state carries from one call to the next. Invalid or
   unmappable input stops with EILSEQ, as iconv does, never a substitute. */
#include "iconv.h"
#include "localcharset.h"

#include <errno.h>
#include <stdio.h>
#include <stdlib.h>
#include <windows.h>
#include <unicode/ucnv.h>
#include <unicode/ucnv_err.h>

typedef struct {
    UConverter* from;
    UConverter* to;
    UChar pivot[1024];
} converter;

static UConverter* open_one(const char* name) {
    UErrorCode err = U_ZERO_ERROR;
    UConverter* c = ucnv_open(name, &err);
    if (U_FAILURE(err)) return NULL;
    ucnv_setToUCallBack(c, UCNV_TO_U_CALLBACK_STOP, NULL, NULL, NULL, &err);
    ucnv_setFromUCallBack(c, UCNV_FROM_U_CALLBACK_STOP, NULL, NULL, NULL, &err);
    if (U_FAILURE(err)) {
        ucnv_close(c);
        return NULL;
    }
    return c;
}

iconv_t iconv_open(const char* tocode, const char* fromcode) {
    converter* cv = calloc(1, sizeof *cv);
    if (cv) {
        cv->from = open_one(fromcode);
        cv->to = open_one(tocode);
        if (cv->from && cv->to) return cv;
        iconv_close(cv);
    }
    errno = EINVAL;
    return (iconv_t)-1;
}

size_t iconv(iconv_t cd, char** inbuf, size_t* inbytesleft, char** outbuf, size_t* outbytesleft) {
    converter* cv = cd;
    if (cd == (iconv_t)-1 || !cd) {
        errno = EBADF;
        return (size_t)-1;
    }
    if (!inbuf || !*inbuf) return 0; /* nothing is kept between calls */
    const char* source = *inbuf;
    char* target = *outbuf;
    UChar* pivotSource = cv->pivot;
    UChar* pivotTarget = cv->pivot;
    UErrorCode err = U_ZERO_ERROR;
    ucnv_convertEx(cv->to, cv->from, &target, target + *outbytesleft, &source, source + *inbytesleft, cv->pivot,
                   &pivotSource, &pivotTarget, cv->pivot + sizeof cv->pivot / sizeof cv->pivot[0], 1, 1, &err);
    *inbytesleft -= (size_t)(source - *inbuf);
    *outbytesleft -= (size_t)(target - *outbuf);
    *inbuf = (char*)source;
    *outbuf = target;
    if (U_SUCCESS(err)) return 0;
    if (err == U_BUFFER_OVERFLOW_ERROR)
        errno = E2BIG;
    else if (err == U_TRUNCATED_CHAR_FOUND)
        errno = EINVAL;
    else
        errno = EILSEQ;
    return (size_t)-1;
}

int iconv_close(iconv_t cd) {
    converter* cv = cd;
    if (cd == (iconv_t)-1 || !cd) {
        errno = EBADF;
        return -1;
    }
    if (cv->from) ucnv_close(cv->from);
    if (cv->to) ucnv_close(cv->to);
    free(cv);
    return 0;
}

const char* locale_charset(void) {
    static char name[16];
    snprintf(name, sizeof name, "CP%u", GetACP());
    return name;
}
