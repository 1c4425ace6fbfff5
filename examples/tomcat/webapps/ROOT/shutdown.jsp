<%@ page contentType="text/plain; charset=UTF-8" %>shutting down
<%
    // Answer first, then end the JVM; Tomcat's shutdown hook stops it cleanly.
    new Thread(new Runnable() {
        public void run() {
            try { Thread.sleep(200); } catch (InterruptedException e) { }
            System.exit(0);
        }
    }).start();
%>
