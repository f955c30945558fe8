// The texts of the socket error numbers.

#include "remote/apwin.h"

#include <cerrno>
#include <netdb.h>

String SockErrMsg(int Code)
{
    const char* text = "";
    switch (Code) {
    case 10004: text = "Interrupted system call."; break;
    case 10009: text = "Bad file number."; break;
    case 10013: text = "Access denied."; break;
    case 10014: text = "Bad address."; break;
    case 10022: text = "Invalid argument."; break;
    case 10024: text = "Too many open files."; break;
    case 10035: text = "Operation would block. "; break;
    case 10036: text = "Operation now in progress."; break;
    case 10037: text = "Operation already in progress."; break;
    case 10038: text = "Socket operation on non-socket."; break;
    case 10039: text = "Destination address required."; break;
    case 10040: text = "Message too long."; break;
    case 10041: text = "Protocol wrong type for socket."; break;
    case 10042: text = "Bad protocol option."; break;
    case 10043: text = "Protocol not supported."; break;
    case 10044: text = "Socket type not supported."; break;
    case 10045: text = "Operation not supported on socket."; break;
    case 10046: text = "Protocol family not supported."; break;
    case 10047: text = "Address family not supported by protocol family."; break;
    case 10048: text = "Address already in use."; break;
    case 10049: text = "Can't assign requested address."; break;
    case 10050: text = "Network is down."; break;
    case 10051: text = "Network is unreachable."; break;
    case 10052: text = "Net dropped connection or reset."; break;
    case 10053: text = "Software caused connection abort."; break;
    case 10054: text = "Connection reset by peer."; break;
    case 10055: text = "No buffer space available."; break;
    case 10056: text = "Socket is already connected."; break;
    case 10057: text = "Socket is not connected."; break;
    case 10058: text = "Cannot send or receive after socket is closed."; break;
    case 10059: text = "Too many references, can't splice."; break;
    case 10060: text = "Connection timed out."; break;
    case 10061: text = "Connection refused."; break;
    case 10062: text = "Too many levels of symbolic links."; break;
    case 10063: text = "File name too long."; break;
    case 10064: text = "Host is down."; break;
    case 10065: text = "No route to host."; break;
    case 10066: text = "Directory not empty"; break;
    case 10067: text = "Too many processes."; break;
    case 10068: text = "Too many users."; break;
    case 10069: text = "Disk Quota Exceeded."; break;
    case 10070: text = "Stale NFS file handle."; break;
    case 10071: text = "Too many levels of remote in path."; break;
    case 10091: text = "Network subsystem is unavailable."; break;
    case 10092: text = "WINSOCK DLL Version out of range."; break;
    case 10093: text = "Winsock not loaded yet."; break;
    case 11001: text = "Host not found."; break;
    case 11002: text = "Non-authoritative response (try again or check DNS setup)."; break;
    case 11003: text = "Non-recoverable errors: FORMERR, REFUSED, NOTIMP."; break;
    case 11004: text = "Valid name, no data record (check DNS setup)."; break;
    }
    return String(text) + "\r\nSocket Error #" + std::to_string(Code);
}

int SocketErrorFromErrno(int Errno)
{
    switch (Errno) {
    case EINTR: return 10004;
    case EBADF: return 10009;
    case EACCES: return 10013;
    case EFAULT: return 10014;
    case EINVAL: return 10022;
    case EMFILE: return 10024;
    case EWOULDBLOCK: return 10035;
    case EINPROGRESS: return 10036;
    case EALREADY: return 10037;
    case ENOTSOCK: return 10038;
    case EDESTADDRREQ: return 10039;
    case EMSGSIZE: return 10040;
    case EPROTOTYPE: return 10041;
    case ENOPROTOOPT: return 10042;
    case EPROTONOSUPPORT: return 10043;
    case ESOCKTNOSUPPORT: return 10044;
    case EOPNOTSUPP: return 10045;
    case EPFNOSUPPORT: return 10046;
    case EAFNOSUPPORT: return 10047;
    case EADDRINUSE: return 10048;
    case EADDRNOTAVAIL: return 10049;
    case ENETDOWN: return 10050;
    case ENETUNREACH: return 10051;
    case ENETRESET: return 10052;
    case ECONNABORTED: return 10053;
    case ECONNRESET: return 10054;
    case ENOBUFS: return 10055;
    case EISCONN: return 10056;
    case ENOTCONN: return 10057;
    case EPIPE:
    case ESHUTDOWN: return 10058;
    case ETIMEDOUT: return 10060;
    case ECONNREFUSED: return 10061;
    case ELOOP: return 10062;
    case ENAMETOOLONG: return 10063;
    case EHOSTDOWN: return 10064;
    case EHOSTUNREACH: return 10065;
    case ENOTEMPTY: return 10066;
    case EUSERS: return 10068;
    case EDQUOT: return 10069;
    case ESTALE: return 10070;
    default: return 10000 + Errno;
    }
}

int SocketErrorFromResolver(int Code)
{
    switch (Code) {
    case EAI_NONAME: return 11001;
    case EAI_AGAIN: return 11002;
    case EAI_NODATA: return 11004;
    case EAI_SYSTEM: return SocketErrorFromErrno(errno);
    default: return 11003;
    }
}
