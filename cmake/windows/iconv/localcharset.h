/* libcharset's one function, which freexl's build asks for beside iconv. */
#ifndef VANTOREL_LOCALCHARSET_H
#define VANTOREL_LOCALCHARSET_H

#ifdef __cplusplus
extern "C" {
#endif

/* The name of the system's ANSI code page, such as "CP936". */
const char* locale_charset(void);

#ifdef __cplusplus
}
#endif

#endif
