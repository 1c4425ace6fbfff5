package org.velta.tomcat;

import jakarta.servlet.ServletException;
import java.io.IOException;
import java.nio.charset.StandardCharsets;
import java.security.MessageDigest;
import org.apache.catalina.connector.Request;
import org.apache.catalina.connector.Response;
import org.apache.catalina.valves.ValveBase;

/**
 * Answers the desktop host alone, for every application of this Tomcat:
 * 401 without the run's secret (the cookie VELTA_SERVER_TOKEN or an
 * "Authorization: Bearer" header), 403 for a Host that is not this server's
 * loopback address and port (DNS rebinding), 403 for a state change (POST,
 * PUT, DELETE, a WebSocket upgrade) from another Origin. Without
 * VELTA_SERVER_TOKEN in the environment (Tomcat started by hand) it lets
 * everything pass.
 */
public class VeltaTokenValve extends ValveBase {
    private final byte[] token;
    private final String port;

    public VeltaTokenValve() {
        super(true);
        String secret = System.getenv("VELTA_SERVER_TOKEN");
        token = secret == null || secret.isEmpty() ? null : secret.getBytes(StandardCharsets.UTF_8);
        String given = System.getenv("VELTA_SERVER_PORT");
        port = given == null ? "" : given;
    }

    @Override
    public void invoke(Request request, Response response) throws IOException, ServletException {
        int refusal = token == null ? 0 : refusal(request);
        if (refusal != 0) {
            response.sendError(refusal);
            return;
        }
        getNext().invoke(request, response);
    }

    private int refusal(Request request) {
        String host = request.getHeader("Host");
        if (host == null || !(host.equals("127.0.0.1:" + port) || host.equals("localhost:" + port)))
            return 403;
        String given = null;
        String cookies = request.getHeader("Cookie");
        if (cookies != null) {
            for (String pair : cookies.split(";")) {
                String trimmed = pair.trim();
                if (trimmed.startsWith("VELTA_SERVER_TOKEN="))
                    given = trimmed.substring("VELTA_SERVER_TOKEN=".length());
            }
        }
        String authorization = request.getHeader("Authorization");
        if ((given == null || given.isEmpty()) && authorization != null && authorization.startsWith("Bearer "))
            given = authorization.substring("Bearer ".length());
        // MessageDigest.isEqual takes the same time wherever the texts differ.
        if (given == null || !MessageDigest.isEqual(given.getBytes(StandardCharsets.UTF_8), token))
            return 401;
        String method = request.getMethod();
        boolean changesState = "POST".equals(method) || "PUT".equals(method) || "DELETE".equals(method)
                || request.getHeader("Upgrade") != null;
        String origin = request.getHeader("Origin");
        if (changesState && origin != null && !origin.equals("http://127.0.0.1:" + port)
                && !origin.equals("http://localhost:" + port))
            return 403;
        return 0;
    }
}
