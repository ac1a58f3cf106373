#pragma once
#include <functional>
#include <string>

#include "nen_tang.h"

// The HTTP transport: a listening socket on 127.0.0.1 and, for each
// connection, the request's bytes read (within bounds of size and time) and
// the response's bytes sent. What to answer is asked of the handler given at
// construction. One connection at a time, one request per connection.
class MayChuHttp {
public:
    // The request's bytes in, the whole response out (empty: close without
    // an answer), and the log line to write once it is sent.
    using XuLyYeuCau = std::function<std::string(const std::string& duLieu, std::string& dongLog)>;

    explicit MayChuHttp(XuLyYeuCau xuLy);
    ~MayChuHttp();
    MayChuHttp(const MayChuHttp&) = delete;
    MayChuHttp& operator=(const MayChuHttp&) = delete;

    // Opens (or re-opens) the listening port; 0 lets the system choose.
    bool moCong(int cong);
    int congDaMo() const { return cong; }
    bool dangMo() const { return socketNghe != nenTang::SOCKET_LOI; }
    // Waits up to `miliGiay` for a connection and serves it.
    void phucVuMotKetNoi(int miliGiay);

private:
    XuLyYeuCau xuLy;
    int cong = 0;
    nenTang::Socket socketNghe = nenTang::SOCKET_LOI;

    void phucVuKetNoi(nenTang::Socket ketNoi);
    // Reading one request with both a per-receive and an overall bound.
    std::string docYeuCau(nenTang::Socket ketNoi);
};
