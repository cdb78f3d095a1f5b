#pragma once
// The address of the maker's web server, in one place for the whole program.
// The environment variable TAMSEL_SERVER replaces it (tests point it at a
// server on the loopback interface).

#include <QString>

// The server's base address with scheme and a trailing "/", for example
// "http://www.lectova.example/". Callers append a path and query.
QString ServerAddress();

// ServerAddress() joined with `pathAndQuery` ("treerss.php?version=96&text=x",
// "/sample.htm"); exactly one "/" separates the two.
QString ServerUrl(const QString& pathAndQuery);

// As ServerUrl, on the given port of the same host (the text-preview service
// listens on its own port). When TAMSEL_SERVER is set, its own port (if any)
// is kept, so that tests reach their one loopback server.
QString ServerUrlOnPort(int port, const QString& pathAndQuery);
