# The demo as a product: the worked example of an application package. A team
# copies this file, names its own files and passes it in VELTA_APPLICATIONS
# (see README.md, "Ship your application").
velta_application(
  NAME        velta-demo
  TITLE       "Velta Demo"
  SUMMARY     "Demonstration of a web application shown by velta-host"
  DESCRIPTION "Velta Demo is a small web application with its own server, shown in a
desktop window by velta-host: the splash page while the server starts, full
screen and window mode, links that open in the default browser, pop-ups,
page dialogs, a page behind HTTP authentication, a download and printing.

It is the worked example of an application package: the host, the
application's configuration, its server and web pages, a name and an icon."
  # The demo's configuration as it is, with the installed layout's server
  # folder (beside the host, not beside its folder as in the build tree) and
  # a data folder of its own below ~/.local/share.
  CONFIG      ${PROJECT_SOURCE_DIR}/examples/demo/app.config.xml
  CONFIG_REPLACE
              ">../appserver<" ">appserver<"
              ">..\\appserver<" ">appserver<"
              "/\${data.dir}" "/velta-demo"
  ICON        ${CMAKE_CURRENT_LIST_DIR}/velta-demo.svg
  DATA        ${PROJECT_SOURCE_DIR}/examples/demo/webapp
  SERVER_DIRECTORY appserver
  SERVER_TARGETS   velta-demo-server
  # demo-scheme: links and *.veltademo files open in the running demo (OpenUrl).
  URL_SCHEMES demo-scheme
  MIME_GLOBS  "application/x-velta-demo=*.veltademo"
  CATEGORIES  "Development;"
  KEYWORDS    "velta;web;demo;"
  APPID       org.example.VeltaDemo
  # AppStream 1.0 (Debian 13) asks for one; the demo has no site of its own.
  HOMEPAGE    "https://example.org/velta-demo"
  DEVELOPER   "The velta-host developers"
  LICENSE     LicenseRef-velta-host)
