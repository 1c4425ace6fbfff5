<%@ page contentType="text/plain; charset=UTF-8" %>shutting down
<%
    // Answer first, then end the JVM; Tomcat's shutdown hook stops it cleanly.
    Thread exit = new Thread(new Runnable() {
        public void run() {
            try { Thread.sleep(200); } catch (InterruptedException e) { }
            System.exit(0);
        }
    }, "velta-shutdown");
    // Not the application's thread: Tomcat, stopping the application while
    // this thread waits in System.exit, has no leak to warn about.
    exit.setContextClassLoader(ClassLoader.getSystemClassLoader());
    exit.start();
%>
