/* The floor the host is measured against: one GTK window holding one WebKitGTK
 * view and nothing else. The window takes the page's title; pages it opens
 * become windows of their own that share the opener's web process.
 *
 *   floor-viewer URL DATA-DIRECTORY
 */
#include <gtk/gtk.h>
#include <webkit2/webkit2.h>

static int windows = 0;

static void on_title(WebKitWebView* view, GParamSpec* spec, gpointer window) {
    (void)spec;
    const char* title = webkit_web_view_get_title(view);
    gtk_window_set_title(GTK_WINDOW(window), title && *title ? title : "floor-viewer");
}

static void on_destroy(GtkWidget* widget, gpointer data) {
    (void)widget;
    (void)data;
    if (--windows == 0)
        gtk_main_quit();
}

static GtkWidget* show_in_window(WebKitWebView* view, int show) {
    GtkWidget* window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
    gtk_window_set_default_size(GTK_WINDOW(window), 1024, 720);
    gtk_container_add(GTK_CONTAINER(window), GTK_WIDGET(view));
    g_signal_connect(view, "notify::title", G_CALLBACK(on_title), window);
    g_signal_connect(window, "destroy", G_CALLBACK(on_destroy), NULL);
    g_signal_connect_swapped(view, "close", G_CALLBACK(gtk_widget_destroy), window);
    windows++;
    if (show)
        gtk_widget_show_all(window);
    return window;
}

static void on_ready_to_show(WebKitWebView* view, gpointer window) {
    (void)view;
    gtk_widget_show_all(GTK_WIDGET(window));
}

static GtkWidget* on_create(WebKitWebView* opener, WebKitNavigationAction* action, gpointer data) {
    (void)action;
    (void)data;
    GtkWidget* view = webkit_web_view_new_with_related_view(opener);
    GtkWidget* window = show_in_window(WEBKIT_WEB_VIEW(view), 0);
    g_signal_connect(view, "ready-to-show", G_CALLBACK(on_ready_to_show), window);
    return view;
}

int main(int argc, char** argv) {
    gtk_init(&argc, &argv);
    if (argc < 3) {
        g_printerr("usage: %s URL DATA-DIRECTORY\n", argv[0]);
        return 2;
    }
    char* data = g_build_filename(argv[2], "data", NULL);
    char* cache = g_build_filename(argv[2], "cache", NULL);
    WebKitWebsiteDataManager* manager = webkit_website_data_manager_new(
        "base-data-directory", data, "base-cache-directory", cache, NULL);
    WebKitWebContext* context = webkit_web_context_new_with_website_data_manager(manager);
    WebKitSettings* settings = webkit_settings_new();
    webkit_settings_set_javascript_can_open_windows_automatically(settings, TRUE);
    GtkWidget* view = webkit_web_view_new_with_context(context);
    webkit_web_view_set_settings(WEBKIT_WEB_VIEW(view), settings);
    g_signal_connect(view, "create", G_CALLBACK(on_create), NULL);
    show_in_window(WEBKIT_WEB_VIEW(view), 1);
    webkit_web_view_load_uri(WEBKIT_WEB_VIEW(view), argv[1]);
    gtk_main();
    g_free(data);
    g_free(cache);
    return 0;
}
