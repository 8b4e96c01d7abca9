" Vim syntax file for tarn programs (*.tarn).
" Install: copy editors/vim/syntax and editors/vim/ftdetect into ~/.vim (or a package directory).

if exists("b:current_syntax")
  finish
endif

" A name is a run of lower-case letters and underscores; digits and capitals are words of their own.
syn iskeyword 97-122,95

" The four-letter primitives behind the operators and for taking values apart.
syn keyword tarnPrimitive buck cats cent cmpr copy cork dash diff gteq init into leaf leak left
syn keyword tarnPrimitive less lisp look lord lots mult over plus powa rank raws real rght rows
syn keyword tarnPrimitive same tail tern type wave

" The C library bridge: functions named after the library's own.
syn keyword tarnBridge abort abs accept acos asctime asin assert atan atof atoi atol bind bzero
syn keyword tarnBridge calloc ceil clearerr closedir closesocket connect cos cosh ctime difftime
syn keyword tarnBridge erf erfc errno exit exp fabs fclose fd_set fdopen feof ferror fflush fgetc
syn keyword tarnBridge fgetpos fgets fileno floor fmod fopen fputc fputs fread free freeaddrinfo
syn keyword tarnBridge frexp fseek fsetpos ftell fwrite gai_strerror getaddrinfo getc getchar
syn keyword tarnBridge getenv gethostname getnameinfo getpeername gets gett getu getv getw getx
syn keyword tarnBridge gety getz gmtime htonl htons hypot inet_ntop inet_pton isalnum isalpha
syn keyword tarnBridge isascii isblank isdigit isgraph islower isprint ispunct isspace isupper labs
syn keyword tarnBridge ldexp listen localtime log malloc memchr memcmp memcpy memmove memset mktime
syn keyword tarnBridge modf nextafter ntohl ntohs opendir perror pow putc putchar puts raise rand
syn keyword tarnBridge read readdir realloc recv recvfrom remove rename rewind send sendto setbuf
syn keyword tarnBridge setsockopt sett setu setw setx shutdown sin sinh socket sqrt srand
syn keyword tarnBridge strcasecmp strcat strchr strcmp strcpy strdup strerror strftime strlen
syn keyword tarnBridge strncasecmp strncat strncmp strncpy strnlen strpbrk strrchr strspn strstr
syn keyword tarnBridge strtod strtok strtok_r strtol strtoul system tan tanh time tmpfile tmpnam
syn keyword tarnBridge toascii tolower toupper ungetc write

" Constants of the bridge (record sizes, error numbers, streams, socket flags).
syn keyword tarnConstant addrinfo af_unspec ai_passive dirent eacces ebadf econnaborted efault
syn keyword tarnConstant eintr einval eio emfile enfile enodev enomem enotsock enxio eopnotsupp
syn keyword tarnConstant eoverflow ewouldblock rand_max sock_stream stderr stdout time_t

" Combinators: every capital letter is a prelude combinator; K is true, H is false.
syn match tarnCombinator "[ABCDEFGIJLMNOPQRSTUVWXYZ]"
syn match tarnTruth "[KH]"

" Numerals: a leading 0 is the minus sign, a leading 00 a binary fraction.
syn match tarnNumber "[0-9]\+"
syn match tarnFraction "\(^\|[^0-9]\)\@<=00[0-9]*"

" Operators by class: binding (function, let), comparison and logic, arithmetic, the rest.
syn match tarnBinding "[\\{}]"
syn match tarnLogic "[&|=<>#!]"
syn match tarnArithmetic "[-+*/%^]"
syn match tarnOperator "[;?@:.'"$~`,]"

" Data literals nest; [p] [q] [r] inside them stand for a line feed, [ and ].
syn region tarnData start="\[" end="\]" contains=tarnDataEscape,tarnData
syn match tarnDataEscape "\[[pqr]\]" contained

" Parameters: names right before a backslash. A definition: a name of two or more letters (or a
" bracketed operator) before a backslash at the start of a line or after a comma.
syn match tarnParameter "[a-z_]\+\ze\\"
syn match tarnDefinition "\(\(^\|,\)\s*\)\@<=\([a-z_][a-z_]\+\|\[[^]]\]\)\ze\\"

hi def link tarnPrimitive Function
hi def link tarnBridge Function
hi def link tarnConstant Constant
hi def link tarnTruth Boolean
hi def link tarnCombinator Type
hi def link tarnFraction Float
hi def link tarnNumber Number
hi def link tarnData String
hi def link tarnDataEscape SpecialChar
hi def link tarnDefinition Identifier
hi def link tarnParameter Identifier
hi def link tarnBinding Statement
hi def link tarnLogic Conditional
hi def link tarnArithmetic Operator
hi def link tarnOperator Operator

let b:current_syntax = "tarn"
